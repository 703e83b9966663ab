#pragma once
// About: the emblem and the product's name.

#include "app/dialogs/ModalDialog.h"

namespace zavora {

class AboutDialog : public ModalDialog {
    Q_OBJECT
public:
    AboutDialog(QWidget* owner, const QString& productName);
};

} // namespace zavora
