#pragma once

#include <QProxyStyle>

// The program's style on a window's menu bar, except that Alt pressed and released alone puts
// the bar under the keyboard, as on most desktops: arrows move along it, Enter opens or runs
// the item, Esc gives the keyboard back. Fusion leaves that off.
class StileBarraMenu : public QProxyStyle {
    Q_OBJECT
public:
    explicit StileBarraMenu(QObject *parent);

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};
