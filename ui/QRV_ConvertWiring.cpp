// The controller's wiring of the Convert panel and the readouts menu: what they ask of the
// calculator, the tape and the settings.

#include "QRV_Calculator.h"
#include "QRV_ConvertPanel.h"
#include "QRV_MainWindowController.h"
#include "QRV_ReadoutMenu.h"
#include "QRV_Settings.h"
#include "QRV_TapePanel.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>

namespace {

QRV_TapeLine::Kind tapeKind(QRV_ConversionMode mode) {
    return mode == QRV_ConversionMode::SameRealTime ? QRV_TapeLine::Kind::SameRealTime
                                                    : QRV_TapeLine::Kind::SameFrames;
}

} // namespace

void QRV_MainWindowController::makeConvertAndReadouts() {
    _readouts = std::make_unique<QRV_ReadoutMenu>();
    _readouts->setChoice(_settings->readouts());
    _calculator->setReadouts(_readouts->choice());
    connect(_readouts.get(), &QRV_ReadoutMenu::changed, this,
            [this](const QRV_ReadoutChoice& choice) {
                _calculator->setReadouts(choice);
                _settings->setReadouts(choice);
            });

    _convertPanel = new QRV_ConvertPanel;
    _convertDock = _convertPanel->dockInto(*_window);
    const QRV_Settings::Conversion stored = _settings->conversion();
    _convertPanel->setChoice(stored.from.value_or(_convertPanel->fromSetting()),
                             stored.to.value_or(_convertPanel->toSetting()),
                             stored.sameRealTime.value_or(false) ? QRV_ConversionMode::SameRealTime
                                                                 : QRV_ConversionMode::SameFrames);
    _convertDock->setVisible(_settings->isConvertShown());
    connect(_convertDock->toggleViewAction(), &QAction::toggled, this,
            [this](bool shown) { _settings->setConvertShown(shown); });
    connect(_convertPanel, &QRV_ConvertPanel::choiceChanged, this, [this] {
        _settings->setConversion(_convertPanel->fromSetting(), _convertPanel->toSetting(),
                                 _convertPanel->mode() == QRV_ConversionMode::SameRealTime);
    });
    connect(_convertPanel, &QRV_ConvertPanel::message, this, &QRV_MainWindowController::showStatus);
    connect(_convertPanel, &QRV_ConvertPanel::valueRequested, this,
            [this](QRV_ConvertPanel::Source source) {
                const QString text =
                    source == QRV_ConvertPanel::Source::Result ? resultText() : operandText(1);
                const QRV_Rate rate{frameRate(), _calculator->isDropFrameShown(), isNTSCRate()};
                if (!_convertPanel->takeValue(text, rate)) {
                    showStatus(tr("The calculator's rate has no place in the Convert panel."));
                }
            });
    connect(_convertPanel, &QRV_ConvertPanel::sendRequested, this,
            [this](int operand, const QString& text, const QRV_Rate& rate) {
                _calculator->applyRate(rate.fps, rate.dropFrame, rate.ntsc);
                pasteTimecode(operand, text);
            });
    connect(_convertPanel, &QRV_ConvertPanel::converted, this,
            [this](const QString& value, const QString& result, qint64 frames, const QRV_Rate& to,
                   QRV_ConversionMode mode) {
                _tapePanel->record(value, result, frames, {to.fps, to.dropFrame, to.ntsc},
                                   tapeKind(mode));
            });
}
