#include "app/dialogs/GridDialog.h"

#include "app/dialogs/DialogValues.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zavora {

GridDialog::GridDialog(QWidget* owner)
    : ModalDialog(owner, "GRIDDLG", QStringLiteral("Grid"))
    , m_horizontal(new QLineEdit(this))
    , m_vertical(new QLineEdit(this))
    , m_show(new QCheckBox(QStringLiteral("Show Grid"), this))
    , m_snap(new QCheckBox(QStringLiteral("Snap to Grid"), this))
{
    m_horizontal->setObjectName(QStringLiteral("horizontal"));
    m_vertical->setObjectName(QStringLiteral("vertical"));
    m_show->setObjectName(QStringLiteral("show"));
    m_snap->setObjectName(QStringLiteral("snap"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Horizontal spacing (points):"), m_horizontal);
    form->addRow(QStringLiteral("Vertical spacing (points):"), m_vertical);
    layout->addLayout(form);
    layout->addWidget(m_show);
    layout->addWidget(m_snap);
    addButtons(layout);
    setGrid(m_grid);
}

void GridDialog::setGrid(const Grid& grid)
{
    m_grid = grid;
    m_horizontal->setText(QString::number(grid.gx));
    m_vertical->setText(QString::number(grid.gy));
    m_show->setChecked(grid.spare != 0);
    m_snap->setChecked(grid.snap != 0);
}

void GridDialog::commit()
{
    m_grid.gx = gridSpacing(textOf(m_horizontal));
    m_grid.gy = gridSpacing(textOf(m_vertical));
    m_grid.spare = m_show->isChecked() ? 1 : 0;
    m_grid.snap = m_snap->isChecked() ? 1 : 0;
}

} // namespace zavora
