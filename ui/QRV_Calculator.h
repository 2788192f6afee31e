#pragma once

// The calculator room: the two operands, the rate, drop-frame, NTSC and operation controls,
// validation with its messages, Calculate, Swap, and pasting timecode into an operand. The
// result row is its own (QRV_ResultRow).
//
// Widgets it writes, all from the form: TF_TCAddr1_*, TF_TCAddr2_*, frameRateRadioGrp,
// dropFrameCheckbox, ntscCheckbox, signDropdownMenu, negResultsCheckbox, calculateBtn,
// swapTCAddressesBtn, the drop-frame separators of its rows. It is the delegate of the eight
// operand fields. Until attach() the setters change only the stored values.
//
// Emits message() for the status bar and optionsChanged() when the user's rate, drop-frame,
// NTSC, operation or negative-results choice changes. Main thread only.

#include "QRV_Quorvel.h"
#include "QRV_ReadoutChoice.h"
#include "TextFieldDelegate.h"

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QAction;
class QRV_CalculatorKeys;
class QRV_OperandFields;
class QRV_OperandPaste;
class QRV_ResultRow;
struct QRV_FieldChange;
struct QRV_Operands;

namespace Ui {
class MainWindow;
}

namespace platform {
class TextField;
}

class QRV_Calculator : public QObject, public platform::TextFieldDelegate {
    Q_OBJECT

public:
    using Units = std::array<int, 4>; // hours, minutes, seconds, frames

    explicit QRV_Calculator(QObject* parent = nullptr);
    ~QRV_Calculator() override;

    // The window's controls exist: puts them into their starting state and connects them.
    // The operand fields ask fieldDelegate before an edit ends and before a paste.
    void attach(Ui::MainWindow& form, platform::TextFieldDelegate& fieldDelegate);

    int frameRate() const { return _frameRate; }
    // Clears and (at 30 and 60 only) enables the drop-frame box, stores the rate, wraps both
    // operands' frames to it (saying what changed) and shows it in the rate group.
    void setFrameRate(int rate);
    void setNTSCSelected(bool ntsc);
    // The NTSC box as shown: the user's choice, or ticked by drop-frame.
    bool isNTSCRate() const;
    bool isSignMinusSelected() const { return _signMinusSelected; }
    // On a change only: clears the negative-results box and enables it for subtraction.
    void setSignMinusSelected(bool minus);
    bool isDropFrameSelected() const { return _dropFrameSelected; }
    // Stores the value and revalidates the operands, also when it is unchanged.
    void setDropFrameSelected(bool dropFrame);
    // The drop-frame box as shown (incoming 29.97 timecode ticks it too).
    bool isDropFrameShown() const;
    bool isNegativeResultsSelected() const;
    void setNegativeResultsSelected(bool negative);

    bool controlTextShouldEndEditing(platform::TextField* control) override;
    bool controlShouldTakePastedText(platform::TextField* control, const QString& text) override;
    void validateTextFieldValues();

    // Fills an operand from a whole timecode and validates it; false for other text.
    bool pasteTimecode(int operand, const QString& text);
    QString operandText(int operand) const;
    QString resultText() const;
    // Sets an operand as a capture does: the values as given, no validation.
    void fillOperand(int operand, const Units& units);

    // A result worked out elsewhere (the quick entry), shown as Calculate shows its own and
    // announced with calculated().
    void showEntryResult(std::int64_t frames, const QString& calculation);
    // The rate controls set as given (a tape line's rate), as the user would set them.
    void applyRate(int fps, bool dropFrame, bool ntsc);

    // Film and audio readouts under the result.
    void setReadouts(const QRV_ReadoutChoice& choice);

    // The signed frame count of the result row, for a calculation that continues from it.
    std::int64_t shownResultFrames() const;

    // Incoming timecode at this MIDI rate code: the controls show its rate and are locked.
    void followIncomingRate(std::int32_t rateCode);
    // The incoming timecode stopped: the controls are free again.
    void releaseRateControls();

    QAction* calculateAction() const;
    QAction* swapAction() const { return _swapAction; }
    QAction* copyResultAction() const { return _copyResultAction; }
    QAction* pasteActions(int operand) const { return _pasteActions.at(operand == 1 ? 0 : 1); }

public slots:
    void calculate();
    void swapOperands();
    void copyResult();
    void pasteClipboardInto(int operand);

signals:
    void message(const QString& text);
    void optionsChanged();
    // A result was shown: what was calculated, the result as copied, its signed frame count.
    void calculated(const QString& calculation, const QString& result, qint64 frames);

private:
    void makeActions();
    void connectControls();
    void attachOperandFields(platform::TextFieldDelegate& fieldDelegate);
    void validate(int editedOperand, int editedUnit);
    void report(const std::vector<QRV_FieldChange>& changes, const QRV_Operands& operands);
    TimeCodeDef calculationDef() const;
    void updateSeparators();
    void updateNTSCBox();
    bool atDropFrame() const;

    Ui::MainWindow* _form = nullptr; // not owned; null until attach
    std::unique_ptr<QRV_OperandFields> _operands;
    std::unique_ptr<QRV_ResultRow> _result;
    std::unique_ptr<QRV_CalculatorKeys> _keys;
    std::unique_ptr<QRV_OperandPaste> _paste;

    int _frameRate = 24;
    bool _signMinusSelected = false;
    bool _dropFrameSelected = false;
    bool _ntscSelected = false;

    QAction* _swapAction = nullptr;
    QAction* _copyResultAction = nullptr;
    std::array<QAction*, 2> _pasteActions{};
};
