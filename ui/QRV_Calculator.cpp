#include "QRV_Calculator.h"

#include "QRV_CalculatorKeys.h"
#include "QRV_OperandFields.h"
#include "QRV_OperandPaste.h"
#include "QRV_OperandValidation.h"
#include "QRV_RateChoices.h"
#include "QRV_ResultRow.h"
#include "QRV_TimecodeText.h"
#include "QRV_ValidationMessages.h"
#include "TextField.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

using namespace QRV_RateChoices;

QRV_Calculator::QRV_Calculator(QObject* parent)
    : QObject(parent) {}

QRV_Calculator::~QRV_Calculator() = default;

void QRV_Calculator::attach(Ui::MainWindow& form, platform::TextFieldDelegate& fieldDelegate) {
    _form = &form;
    _operands = std::make_unique<QRV_OperandFields>(form);
    _result = std::make_unique<QRV_ResultRow>(form, this);
    connect(_result.get(), &QRV_ResultRow::message, this, &QRV_Calculator::message);
    _paste = std::make_unique<QRV_OperandPaste>(
        *_operands, [this] { validateTextFieldValues(); }, this);
    connect(_paste.get(), &QRV_OperandPaste::message, this, &QRV_Calculator::message);
    makeActions();
    attachOperandFields(fieldDelegate);
    connectControls();
    for (int operand : {1, 2}) {
        _operands->show(operand, {0, 0, 0, 0});
    }
    _result->clear();
    _form->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(_frameRate), 0);
    _form->dropFrameCheckbox->setEnabled(false);
    updateNTSCBox();
    updateSeparators();
    // The quick entry comes first in the tab order, but a new window starts at operand 1.
    _form->TF_TCAddr1_hours->setFocus(Qt::OtherFocusReason);
}

void QRV_Calculator::makeActions() {
    _keys = std::make_unique<QRV_CalculatorKeys>(*_form, *_operands, this);
    connect(_keys.get(), &QRV_CalculatorKeys::calculateRequested, this, &QRV_Calculator::calculate);
    connect(_keys.get(), &QRV_CalculatorKeys::operationRequested, this,
            [this](bool minus) { _form->signDropdownMenu->setCurrentIndex(minus ? 1 : 0); });
    _swapAction = new QAction(tr("S&wap Operands"), this);
    connect(_swapAction, &QAction::triggered, this, &QRV_Calculator::swapOperands);
    _copyResultAction = new QAction(tr("&Copy Result"), this);
    _copyResultAction->setShortcut(QKeySequence(tr("Ctrl+Shift+C")));
    connect(_copyResultAction, &QAction::triggered, this, &QRV_Calculator::copyResult);
    for (int operand : {1, 2}) {
        QAction* paste = new QAction(tr("Paste into Operand &%1").arg(operand), this);
        connect(paste, &QAction::triggered, this, [this, operand] { pasteClipboardInto(operand); });
        _pasteActions.at(static_cast<std::size_t>(operand - 1)) = paste;
    }
}

void QRV_Calculator::attachOperandFields(platform::TextFieldDelegate& fieldDelegate) {
    for (int operand : {1, 2}) {
        for (platform::TextField* field : _operands->fields(operand)) {
            field->setDelegate(&fieldDelegate);
            field->setSelectsAllOnClick(true);
            field->setSelectsAllOnFocus(true);
            field->setAcceptDrops(false); // a drop would bypass the paste rules
            // The field's whole text, as focus leaves it, copies the whole operand; part of
            // it copies as usual.
            field->setCopyTextSource([this, field, operand] {
                const bool part =
                    field->hasSelectedText() && field->selectedText() != field->text();
                return part ? QString() : operandText(operand);
            });
            connect(field, &QLineEdit::textChanged, _result.get(), &QRV_ResultRow::markStale);
        }
    }
    for (platform::TextField* field :
         {_form->TF_TCResultSign, _form->TF_TCResult_hours, _form->TF_TCResult_minutes,
          _form->TF_TCResult_seconds, _form->TF_TCResult_frames}) {
        field->setCopyTextSource([this] { return resultText(); });
    }
}

void QRV_Calculator::connectControls() {
    connect(_form->negResultsCheckbox, &QCheckBox::toggled, _result.get(),
            &QRV_ResultRow::markStale);
    connect(_form->negResultsCheckbox, &QCheckBox::toggled, this, &QRV_Calculator::optionsChanged);
    connect(_form->copyResultBtn, &QToolButton::clicked, this, &QRV_Calculator::copyResult);
    connect(_form->frameRateRadioGrp, &platform::RadioGroup::rowActivated, this,
            [this](int row) { setFrameRate(kRateOfRow.at(static_cast<std::size_t>(row))); });
    connect(_form->signDropdownMenu, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSignMinusSelected(index != 0); });
    // Every change of the box, by the user or by code, so the stored value follows it.
    connect(_form->dropFrameCheckbox, &QCheckBox::toggled, this,
            &QRV_Calculator::setDropFrameSelected);
    connect(_form->ntscCheckbox, &QCheckBox::toggled, this, &QRV_Calculator::setNTSCSelected);
    connect(_form->calculateBtn, &QPushButton::clicked, this, &QRV_Calculator::calculate);
    connect(_form->swapTCAddressesBtn, &QPushButton::clicked, this, &QRV_Calculator::swapOperands);
}

void QRV_Calculator::setFrameRate(int rate) {
    if (_form) {
        _form->dropFrameCheckbox->setChecked(false);
        _form->dropFrameCheckbox->setEnabled(hasDropFrame(rate));
        _form->dropFrameCheckbox->setText(rate == 60 ? tr("&Drop frame (59.94)")
                                                     : tr("&Drop frame (29.97)"));
    }
    _frameRate = rate;
    if (!_form) {
        return;
    }
    updateNTSCBox();
    QRV_Operands operands{_operands->units(1), _operands->units(2)};
    const auto changes = QRV_OperandValidation::reduceFramesToRate(operands, rate);
    _form->TF_TCAddr1_frames->setIntValue(operands.operand1[3]);
    _form->TF_TCAddr2_frames->setIntValue(operands.operand2[3]);
    report(changes, operands);
    _form->frameRateRadioGrp->selectCellAtRow(rowForFrameRate(rate), 0);
    _result->markStale();
    emit optionsChanged();
}

void QRV_Calculator::setSignMinusSelected(bool minus) {
    if (minus == _signMinusSelected) {
        return;
    }
    _signMinusSelected = minus;
    if (!_form) {
        return;
    }
    _result->markStale();
    _form->negResultsCheckbox->setChecked(false);
    _form->negResultsCheckbox->setEnabled(minus);
    // Keep the popup showing the operation when code changes it.
    if ((_form->signDropdownMenu->currentIndex() != 0) != minus) {
        _form->signDropdownMenu->setCurrentIndex(minus ? 1 : 0);
    }
    emit optionsChanged();
}

void QRV_Calculator::setDropFrameSelected(bool dropFrame) {
    _dropFrameSelected = dropFrame;
    validateTextFieldValues();
    if (_form) {
        updateSeparators();
        updateNTSCBox();
        _result->markStale();
        emit optionsChanged();
    }
}

QAction* QRV_Calculator::calculateAction() const {
    return _keys ? _keys->calculateAction() : nullptr;
}

bool QRV_Calculator::isDropFrameShown() const {
    return _form && _form->dropFrameCheckbox->isChecked();
}

void QRV_Calculator::setNTSCSelected(bool ntsc) {
    _ntscSelected = ntsc;
    if (_form) {
        updateNTSCBox();
        _result->markStale();
        emit optionsChanged();
    }
}

bool QRV_Calculator::isNTSCRate() const {
    return _form && _form->ntscCheckbox->isChecked();
}

bool QRV_Calculator::isNegativeResultsSelected() const {
    return _form && _form->negResultsCheckbox->isChecked();
}

void QRV_Calculator::setNegativeResultsSelected(bool negative) {
    if (_form && _form->negResultsCheckbox->isEnabled()) {
        _form->negResultsCheckbox->setChecked(negative);
    }
}

// Ticked and fixed while drop-frame is ticked (drop-frame is an NTSC rate); otherwise the
// user's choice, where the rate has an NTSC variant.
void QRV_Calculator::updateNTSCBox() {
    QCheckBox* box = _form->ntscCheckbox;
    const bool dropFrame = _form->dropFrameCheckbox->isChecked();
    const bool allowed = hasNTSCVariant(_frameRate);
    const QSignalBlocker quiet(box); // shows the state; only the user's clicks choose it
    box->setChecked(dropFrame || (allowed && _ntscSelected));
    box->setEnabled(allowed && !dropFrame);
}

// ";" before the frames marks drop-frame in every calculator row while the box is ticked.
void QRV_Calculator::updateSeparators() {
    const QString separator = isDropFrameShown() ? QStringLiteral(";") : QStringLiteral(":");
    for (QLabel* label :
         {_form->colon_TCAddr1_3, _form->colon_TCAddr2_3, _form->colon_TCResult_3}) {
        label->setText(separator);
    }
}

bool QRV_Calculator::controlTextShouldEndEditing(platform::TextField* control) {
    if (!_form) {
        return false;
    }
    const int operand = _operands->operandHolding(control);
    if (operand == 0) {
        return false;
    }
    validate(operand, _operands->unitOf(control));
    return true;
}

void QRV_Calculator::validateTextFieldValues() {
    if (_form) {
        validate(0, 0);
    }
}

// Brings every operand field into range, writing each one, and says what changed. A field
// that ends its edit is reduced on its own first (operand 0: none).
void QRV_Calculator::validate(int editedOperand, int editedUnit) {
    QRV_Operands operands{_operands->units(1), _operands->units(2)};
    std::vector<QRV_FieldChange> changes;
    if (editedOperand != 0) {
        if (auto change = QRV_OperandValidation::reduceField(operands, editedOperand, editedUnit,
                                                             _frameRate)) {
            changes.push_back(*change);
        }
    }
    const auto rest =
        QRV_OperandValidation::validateOperands(operands, _frameRate, _dropFrameSelected);
    changes.insert(changes.end(), rest.begin(), rest.end());
    _operands->show(1, operands.operand1);
    _operands->show(2, operands.operand2);
    report(changes, operands);
}

void QRV_Calculator::report(const std::vector<QRV_FieldChange>& changes,
                            const QRV_Operands& operands) {
    if (!changes.empty()) {
        emit message(QRV_ValidationMessages::sentence(changes, operands, _frameRate));
    }
}

void QRV_Calculator::calculate() {
    if (!_form) {
        return;
    }
    _result->clearSign();
    validateTextFieldValues();
    const TCData a = _operands->record(1, isDropFrameShown());
    const TCData b = _operands->record(2, isDropFrameShown());
    const TimeCodeDef def = calculationDef();
    TCData sum{};
    std::uint8_t resultNeg = 0;
    if (_form->signDropdownMenu->currentIndex() == 0) {
        sum = Quorvel::addTimecodeData(a, b, def);
    } else if (_form->negResultsCheckbox->isChecked()) {
        sum = Quorvel::subtractTimecodeData(b, a, def, &resultNeg);
    } else {
        sum = Quorvel::subtractTimecodeData(b, a, def, nullptr);
    }
    _result->show(sum, resultNeg != 0, _frameRate, isDropFrameShown(), isNTSCRate());
    const QString operation = _form->signDropdownMenu->currentIndex() == 0 ? QStringLiteral(" + ")
                                                                           : QStringLiteral(" - ");
    emit calculated(operandText(1) + operation + operandText(2), resultText(),
                    _result->frames(_frameRate, isDropFrameShown()));
}

void QRV_Calculator::showEntryResult(std::int64_t frames, const QString& calculation) {
    if (!_form) {
        return;
    }
    const std::int64_t shown = _result->showFrames(frames, isNegativeResultsSelected(), _frameRate,
                                                   isDropFrameShown(), isNTSCRate());
    emit calculated(calculation, resultText(), shown);
}

void QRV_Calculator::applyRate(int fps, bool dropFrame, bool ntsc) {
    if (_form && isOffered(fps)) {
        setFrameRate(fps);
        _form->dropFrameCheckbox->setChecked(dropFrame && hasDropFrame(fps));
        setNTSCSelected(ntsc);
    }
}

void QRV_Calculator::setReadouts(const QRV_ReadoutChoice& choice) {
    if (_result) {
        _result->setReadouts(choice);
    }
}

std::int64_t QRV_Calculator::shownResultFrames() const {
    return _form ? _result->frames(_frameRate, isDropFrameShown()) : 0;
}

void QRV_Calculator::swapOperands() {
    if (!_form) {
        return;
    }
    validateTextFieldValues();
    const Units first = _operands->units(1);
    _operands->show(1, _operands->units(2));
    _operands->show(2, first);
}

void QRV_Calculator::fillOperand(int operand, const Units& units) {
    if (_form) {
        _operands->show(operand, units);
    }
}

// Drop-frame comes from the box itself: incoming 29.97 timecode ticks it at any stored rate.
TimeCodeDef QRV_Calculator::calculationDef() const {
    TimeCodeDef def{};
    def.flags = isDropFrameShown() ? kTimeCodeDropFrameFlag : 0;
    def.fTimeScale = _frameRate;
    def.frameDuration = 1;
    def.numFrames = static_cast<std::uint8_t>(_frameRate);
    return def;
}

// 24, 25 and 30 are followed as they are. 29.97 drop-frame, and any code that names no rate,
// stand at 30 with the box ticked, so Calculate counts drop-frame on a 30 grid. The controls
// change only when the stream's rate differs from what they show: each change rewrites the
// operand fields, which would take the text from under the user's typing.
void QRV_Calculator::followIncomingRate(std::int32_t rateCode) {
    if (!_form) {
        return;
    }
    const int rate = rateCode == 0 ? 24 : rateCode == 1 ? 25 : 30;
    const bool dropFrame = rateCode != 0 && rateCode != 1 && rateCode != 3;
    if (_frameRate != rate || _form->frameRateRadioGrp->selectedRow() != rowForFrameRate(rate)) {
        setFrameRate(rate);
    }
    _form->dropFrameCheckbox->setEnabled(false);
    if (_form->dropFrameCheckbox->isChecked() != dropFrame) {
        _form->dropFrameCheckbox->setChecked(dropFrame);
    }
    _form->frameRateRadioGrp->setEnabled(false);
}

// After a drop-frame stream the calculator stays at 29.97 drop-frame, so captured values are
// counted as they were shown; the box is free again.
void QRV_Calculator::releaseRateControls() {
    if (!_form) {
        return;
    }
    _form->frameRateRadioGrp->setEnabled(true);
    if (_form->frameRateRadioGrp->selectedRow() == 2) {
        if (_form->dropFrameCheckbox->isChecked()) {
            _form->dropFrameCheckbox->setEnabled(true);
        } else {
            setFrameRate(30);
        }
    }
}

bool QRV_Calculator::pasteTimecode(int operand, const QString& text) {
    return _form && _paste->pasteTimecode(operand, text, _frameRate, atDropFrame());
}

bool QRV_Calculator::controlShouldTakePastedText(platform::TextField* control,
                                                 const QString& text) {
    return _form && _paste->pasteIntoField(control, text, _frameRate, atDropFrame());
}

void QRV_Calculator::pasteClipboardInto(int operand) {
    if (_form && !pasteTimecode(operand, QGuiApplication::clipboard()->text())) {
        emit message(tr("The clipboard holds no timecode."));
    }
}

bool QRV_Calculator::atDropFrame() const {
    return hasDropFrame(_frameRate) && isDropFrameShown();
}

void QRV_Calculator::copyResult() {
    if (_form) {
        _result->copy(isDropFrameShown());
    }
}

QString QRV_Calculator::operandText(int operand) const {
    return _form ? QRV_TimecodeText::format(_operands->units(operand), isDropFrameShown())
                 : QString();
}

QString QRV_Calculator::resultText() const {
    return _form ? _result->text(isDropFrameShown()) : QString();
}
