#include "QRV_ConvertPanel.h"

#include "QRV_ConversionText.h"
#include "QRV_DayCount.h"
#include "QRV_TimecodeText.h"
#include "QRV_WidgetLook.h"
#include "TextField.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

QString twoDigits(int value) {
    return QString::asprintf("%02i", value);
}

QComboBox* rateBox(const QString& accessibleName) {
    auto* box = new QComboBox;
    for (int i = 0; i < static_cast<int>(kRateSettings.size()); ++i) {
        box->addItem(QRV_ConversionText::rateName(i));
    }
    box->setAccessibleName(accessibleName);
    return box;
}

QPushButton* button(const QString& text, QWidget* receiverParent) {
    auto* made = new QPushButton(text, receiverParent);
    made->setAutoDefault(false);
    return made;
}

} // namespace

QRV_ConvertPanel::QRV_ConvertPanel(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("convertPanel"));
    auto* form = new QFormLayout(this);
    makeFields();
    auto* valueRow = new QHBoxLayout;
    for (std::size_t unit = 0; unit < _fields.size(); ++unit) {
        if (unit > 0) {
            valueRow->addWidget(new QLabel(QStringLiteral(":")));
        }
        valueRow->addWidget(_fields.at(unit));
    }
    valueRow->addStretch();
    form->addRow(tr("Value"), valueRow);
    makeChoices();
    form->addRow(tr("&From"), _fromBox);
    form->addRow(tr("T&o"), _toBox);
    auto* modes = new QHBoxLayout;
    modes->addWidget(_sameFrames);
    modes->addWidget(_sameTime);
    form->addRow(tr("Keep"), modes);
    _result = new platform::TextField;
    _result->setObjectName(QStringLiteral("convertedField"));
    _result->setReadOnly(true);
    _result->setAccessibleName(tr("Converted"));
    _result->setCopyTextSource([this] { return ensureCurrent() ? _shownText : QString(); });
    form->addRow(tr("Converted"), _result);
    _details = new QLabel;
    _details->setObjectName(QStringLiteral("convertDetails"));
    _details->setWordWrap(true);
    _details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(_details);
    makeButtons();
    form->addRow(_buttons);
}

void QRV_ConvertPanel::makeFields() {
    static const std::array<QString, 4> kUnits{tr("hours"), tr("minutes"), tr("seconds"),
                                               tr("frames")};
    // Two digits as in an operand, or a frame count with its "f".
    static const QRegularExpression kTyped(QStringLiteral(R"(\d{0,12}[fF]?)"));
    for (std::size_t unit = 0; unit < _fields.size(); ++unit) {
        auto* field = new platform::TextField;
        field->setObjectName(QStringLiteral("TF_Convert_%1").arg(kUnits.at(unit)));
        field->setAccessibleName(tr("Convert %1").arg(kUnits.at(unit)));
        field->setValidator(new QRegularExpressionValidator(kTyped, field));
        field->setWidthInCharacters(2);
        field->setSelectsAllOnClick(true);
        field->setSelectsAllOnFocus(true);
        field->setDelegate(this);
        field->setAcceptDrops(false);
        // Copy gives the conversion unless part of the field is selected.
        field->setCopyTextSource([this, field] {
            const bool part = field->hasSelectedText() && field->selectedText() != field->text();
            return part || !ensureCurrent() ? QString() : _shownText;
        });
        connect(field, &platform::TextField::returnCommitted, this, &QRV_ConvertPanel::convert);
        _fields.at(unit) = field;
    }
    showValue({0, 0, 0, 0});
}

void QRV_ConvertPanel::makeChoices() {
    _fromBox = rateBox(tr("Convert from"));
    _toBox = rateBox(tr("Convert to"));
    _fromBox->setCurrentIndex(1); // 24 fps
    _toBox->setCurrentIndex(2);   // 25 fps
    _sameFrames = new QRadioButton(tr("Same frame count"));
    _sameTime = new QRadioButton(tr("Same real time"));
    // Named outright: scripts find controls by accessibleName, which the text does not set.
    _sameFrames->setAccessibleName(_sameFrames->text());
    _sameTime->setAccessibleName(_sameTime->text());
    _sameFrames->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(_sameFrames);
    group->addButton(_sameTime);
    connect(_fromBox, &QComboBox::currentIndexChanged, this, [this] {
        showValue(inRange(_value)); // frames past the new rate's second come down
        emit choiceChanged();
    });
    connect(_toBox, &QComboBox::currentIndexChanged, this, [this] {
        setStale();
        emit choiceChanged();
    });
    connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
        if (checked) {
            setStale();
            emit choiceChanged();
        }
    });
}

void QRV_ConvertPanel::makeButtons() {
    _buttons = new QWidget;
    auto* row = new QGridLayout(_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    QPushButton* convertButton = button(tr("Con&vert"), _buttons);
    QPushButton* copyButton = button(tr("&Copy"), _buttons);
    QPushButton* useResult = button(tr("Use &Result"), _buttons);
    QPushButton* useOperand = button(tr("Use Operand &1"), _buttons);
    QPushButton* toOperand1 = button(tr("To Operand 1"), _buttons);
    QPushButton* toOperand2 = button(tr("To Operand 2"), _buttons);
    row->addWidget(useResult, 0, 0);
    row->addWidget(useOperand, 0, 1);
    row->addWidget(convertButton, 0, 2);
    row->addWidget(toOperand1, 1, 0);
    row->addWidget(toOperand2, 1, 1);
    row->addWidget(copyButton, 1, 2);
    connect(convertButton, &QPushButton::clicked, this, &QRV_ConvertPanel::convert);
    connect(copyButton, &QPushButton::clicked, this, &QRV_ConvertPanel::copy);
    connect(useResult, &QPushButton::clicked, this,
            [this] { emit valueRequested(Source::Result); });
    connect(useOperand, &QPushButton::clicked, this,
            [this] { emit valueRequested(Source::Operand1); });
    connect(toOperand1, &QPushButton::clicked, this, [this] { sendTo(1); });
    connect(toOperand2, &QPushButton::clicked, this, [this] { sendTo(2); });
    _copy = new QAction(tr("Copy Conversion"), this);
    _copy->setShortcut(QKeySequence::Copy);
    _copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(_copy, &QAction::triggered, this, &QRV_ConvertPanel::copy);
    addAction(_copy);
}

QDockWidget* QRV_ConvertPanel::dockInto(QMainWindow& window) {
    auto* dock = new QDockWidget(tr("Convert"), &window);
    dock->setObjectName(QStringLiteral("convertDock"));
    dock->setWidget(this);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    QAction* show = dock->toggleViewAction();
    show->setText(tr("Con&vert"));
    show->setShortcut(QKeySequence(tr("Ctrl+R")));
    connect(show, &QAction::triggered, this, [this](bool shown) {
        if (shown) {
            _fields.front()->setFocus(Qt::ShortcutFocusReason);
        }
    });
    return dock;
}

int QRV_ConvertPanel::fromSetting() const {
    return _fromBox->currentIndex();
}

int QRV_ConvertPanel::toSetting() const {
    return _toBox->currentIndex();
}

QRV_ConversionMode QRV_ConvertPanel::mode() const {
    return _sameTime->isChecked() ? QRV_ConversionMode::SameRealTime
                                  : QRV_ConversionMode::SameFrames;
}

void QRV_ConvertPanel::setChoice(int from, int to, QRV_ConversionMode mode) {
    _fromBox->setCurrentIndex(from);
    _toBox->setCurrentIndex(to);
    (mode == QRV_ConversionMode::SameRealTime ? _sameTime : _sameFrames)->setChecked(true);
}

QRV_Rate QRV_ConvertPanel::from() const {
    return kRateSettings.at(static_cast<std::size_t>(fromSetting())).rate;
}

QRV_Rate QRV_ConvertPanel::to() const {
    return kRateSettings.at(static_cast<std::size_t>(toSetting())).rate;
}

bool QRV_ConvertPanel::takeValue(const QString& text, const QRV_Rate& rate) {
    const int setting = rateSettingIndex(rate);
    const auto pasted = QRV_TimecodeText::parse(QString(text).remove(QLatin1Char('-')));
    if (setting < 0 || !pasted) {
        return false;
    }
    _fromBox->setCurrentIndex(setting);
    showValue(inRange(pasted->units));
    return true;
}

bool QRV_ConvertPanel::controlTextShouldEndEditing(platform::TextField* control) {
    if (const auto count = QRV_ConversionText::frameCount(control->text())) {
        if (*count < from().dayLength()) {
            showCount(*count);
        } else {
            showValue(_value);
            emit message(tr("%1 frames are more than a day at %2.")
                             .arg(*count)
                             .arg(QRV_ConversionText::rateName(fromSetting())));
        }
        return true;
    }
    showValue(inRange(fieldUnits()));
    return true;
}

bool QRV_ConvertPanel::controlShouldTakePastedText(platform::TextField* control,
                                                   const QString& text) {
    const auto pasted = QRV_TimecodeText::parse(text);
    if (pasted) {
        showValue(inRange(pasted->units));
        control->selectAll();
        if (pasted->dropFrameMark && !from().dropFrame) {
            emit message(tr("A drop-frame timecode was pasted; it is counted at %1.")
                             .arg(QRV_ConversionText::rateName(fromSetting())));
        }
        return true;
    }
    if (const auto count = QRV_ConversionText::frameCount(text)) {
        control->setText(QString::number(*count) + QLatin1Char('f'));
        control->endEditing();
        return true;
    }
    return false;
}

QRV_ConvertPanel::Units QRV_ConvertPanel::fieldUnits() const {
    Units units{};
    for (std::size_t unit = 0; unit < units.size(); ++unit) {
        units.at(unit) = _fields.at(unit)->intValue();
    }
    return units;
}

// Each unit brought into its range, and a label drop-frame skips moved to the next that exists.
QRV_ConvertPanel::Units QRV_ConvertPanel::inRange(Units units) const {
    const QRV_Rate rate = from();
    units[0] = std::clamp(units[0], 0, 23);
    units[1] = std::clamp(units[1], 0, 59);
    units[2] = std::clamp(units[2], 0, 59);
    units[3] = std::clamp(units[3], 0, rate.fps - 1);
    const int drops = rate.fps / 15;
    if (rate.dropFrame && units[1] % 10 != 0 && units[2] == 0 && units[3] < drops) {
        units[3] = drops;
    }
    return units;
}

void QRV_ConvertPanel::showValue(const Units& units) {
    _value = units;
    for (std::size_t unit = 0; unit < units.size(); ++unit) {
        _fields.at(unit)->setStringValue(twoDigits(units.at(unit)));
    }
    setStale();
}

void QRV_ConvertPanel::showCount(std::int64_t count) {
    const QRV_Rate rate = from();
    const TimeCodeTime t = QRV_DayCount::label(count, rate.fps, rate.dropFrame);
    showValue({t.hours, t.minutes, t.seconds, t.frames});
}

std::int64_t QRV_ConvertPanel::valueFrames() const {
    const TimeCodeTime t{static_cast<std::uint8_t>(_value[0]), static_cast<std::uint8_t>(_value[1]),
                         static_cast<std::uint8_t>(_value[2]),
                         static_cast<std::uint8_t>(_value[3])};
    return QRV_DayCount::count(t, from().fps, from().dropFrame);
}

QString QRV_ConvertPanel::valueText() const {
    return QRV_TimecodeText::format(_value, from().dropFrame);
}

void QRV_ConvertPanel::convert() {
    const QRV_Conversion conversion{from(), to(), mode()};
    const QRV_Converted result = conversion.applied_to(valueFrames());
    const TimeCodeTime t = QRV_DayCount::label(result.frames, to().fps, to().dropFrame);
    _shownText =
        QRV_TimecodeText::format({t.hours, t.minutes, t.seconds, t.frames}, to().dropFrame);
    _shownTo = to();
    _result->setStringValue(_shownText);
    _details->setText(QRV_ConversionText::details(result, to(), mode()));
    _details->setAccessibleName(_details->text());
    _current = true;
    QRV_WidgetLook::setDimmed(_result, false);
    QRV_WidgetLook::setDimmed(_details, false);
    emit converted(valueText() + QStringLiteral(" \u00B7 ") +
                       QRV_ConversionText::rateName(fromSetting()),
                   _shownText, result.frames, to(), mode());
}

void QRV_ConvertPanel::setStale() {
    _current = false;
    if (!_shownText.isEmpty()) {
        QRV_WidgetLook::setDimmed(_result, true);
        QRV_WidgetLook::setDimmed(_details, true);
    }
}

bool QRV_ConvertPanel::ensureCurrent() {
    if (!_current) {
        convert();
    }
    return true;
}

QString QRV_ConvertPanel::convertedText() const {
    return _shownText;
}

void QRV_ConvertPanel::copy() {
    ensureCurrent();
    QGuiApplication::clipboard()->setText(_shownText);
}

void QRV_ConvertPanel::sendTo(int operand) {
    ensureCurrent();
    emit sendRequested(operand, _shownText, _shownTo);
}
