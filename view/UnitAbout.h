#pragma once
// TAboutBox, "Tavrinのバージョン情報": the program icon and name, the version line cut from
// the file version, two lines about the program and two memory figures read at each showing.

#include <QDialog>

namespace tavrin {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // fileVersion: the file version text ("0.5.1.20"); an empty one keeps the design text.
    explicit TAboutBox(const QString& fileVersion, QWidget* parent = nullptr);
};

}  // namespace tavrin
