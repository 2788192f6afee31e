#pragma once

// The Readouts menu: which film and audio readouts the result row adds (feet+frames of 35 mm
// and 16 mm, samples) and the sample rate the samples are counted at.
//
// Owns its menu and actions. Emits changed() when the user changes a choice (not when
// setChoice() does). Main thread only.

#include "QRV_ReadoutChoice.h"

#include <QObject>
#include <array>
#include <memory>

class QAction;
class QMenu;

class QRV_ReadoutMenu : public QObject {
    Q_OBJECT

public:
    explicit QRV_ReadoutMenu(QObject* parent = nullptr);
    ~QRV_ReadoutMenu() override;

    // The submenu, for the menu bar.
    QAction* menuAction() const;
    QRV_ReadoutChoice choice() const;
    void setChoice(const QRV_ReadoutChoice& choice);

signals:
    void changed(const QRV_ReadoutChoice& choice);

private:
    QAction* addCheckable(const QString& text);

    std::unique_ptr<QMenu> _menu;
    QAction* _feet35mm;
    QAction* _feet16mm;
    QAction* _samples;
    std::array<QAction*, 3> _sampleRates{};
};
