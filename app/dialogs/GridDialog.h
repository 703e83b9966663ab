#pragma once
// Grid settings: the two spacings in points and the display and snap flags.

#include "app/dialogs/ModalDialog.h"
#include "model/Geometry.h"

class QCheckBox;

namespace zavora {

class GridDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit GridDialog(QWidget* owner);

    // spare is the display flag, snap the snap flag.
    void setGrid(const Grid& grid);
    const Grid& grid() const { return m_grid; }

protected:
    void commit() override;

private:
    Grid m_grid;
    QLineEdit* m_horizontal;
    QLineEdit* m_vertical;
    QCheckBox* m_show;
    QCheckBox* m_snap;
};

} // namespace zavora
