#include "QRV_ReadoutMenu.h"

#include <QActionGroup>
#include <QMenu>

QRV_ReadoutMenu::QRV_ReadoutMenu(QObject* parent)
    : QObject(parent)
    , _menu(std::make_unique<QMenu>(tr("&Readouts")))
    , _feet35mm(addCheckable(tr("Feet+Frames, &35 mm")))
    , _feet16mm(addCheckable(tr("Feet+Frames, &16 mm")))
    , _samples(addCheckable(tr("&Samples"))) {
    _menu->addSeparator();
    auto* rates = new QActionGroup(this);
    for (std::size_t i = 0; i < _sampleRates.size(); ++i) {
        const int rate = QRV_ReadoutChoice::kSampleRates[i];
        QAction* action =
            _menu->addAction(tr("Samples at %1 kHz").arg(QString::number(rate / 1000.0, 'g', 4)));
        action->setCheckable(true);
        action->setData(rate);
        rates->addAction(action);
        connect(action, &QAction::triggered, this, [this] { emit changed(choice()); });
        _sampleRates.at(i) = action;
    }
    setChoice({});
}

QRV_ReadoutMenu::~QRV_ReadoutMenu() = default;

QAction* QRV_ReadoutMenu::addCheckable(const QString& text) {
    QAction* action = _menu->addAction(text);
    action->setCheckable(true);
    // triggered, not toggled: only the user's choices are announced.
    connect(action, &QAction::triggered, this, [this] { emit changed(choice()); });
    return action;
}

QAction* QRV_ReadoutMenu::menuAction() const {
    return _menu->menuAction();
}

QRV_ReadoutChoice QRV_ReadoutMenu::choice() const {
    QRV_ReadoutChoice choice{_feet35mm->isChecked(), _feet16mm->isChecked(), _samples->isChecked()};
    for (const QAction* rate : _sampleRates) {
        if (rate->isChecked()) {
            choice.sampleRate = rate->data().toInt();
        }
    }
    return choice;
}

void QRV_ReadoutMenu::setChoice(const QRV_ReadoutChoice& choice) {
    _feet35mm->setChecked(choice.feet35mm);
    _feet16mm->setChecked(choice.feet16mm);
    _samples->setChecked(choice.samples);
    for (QAction* rate : _sampleRates) {
        rate->setChecked(rate->data().toInt() == choice.sampleRate);
    }
}
