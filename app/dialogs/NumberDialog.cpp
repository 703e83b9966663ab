#include "app/dialogs/NumberDialog.h"

#include "app/dialogs/DialogValues.h"
#include "platform/NumberFormat.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zavora {

NumberDialog::NumberDialog(QWidget* owner, const char* templateName, const QString& title,
    const std::vector<QString>& labels)
    : ModalDialog(owner, templateName, title)
{
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(labels.size() == 1 ? QStringLiteral("value")
                : i == 0                      ? QStringLiteral("horizontal")
                                              : QStringLiteral("vertical"));
        box->setMinimumWidth(80);
        form->addRow(labels[i], box);
        m_boxes.push_back(box);
    }
    layout->addLayout(form);
    addButtons(layout);
}

MoveDialog::MoveDialog(QWidget* owner)
    : NumberDialog(owner, "MOVEDLG", QStringLiteral("Move"),
          { QStringLiteral("Horizontal (points):"), QStringLiteral("Vertical (points):") })
{
    setDistances(0, 0);
}

void MoveDialog::setDistances(int horizontal, int vertical)
{
    m_horizontal = horizontal;
    m_vertical = vertical;
    m_boxes[0]->setText(QString::number(horizontal));
    m_boxes[1]->setText(QString::number(vertical));
}

void MoveDialog::commit()
{
    m_horizontal = moveDistance(textOf(m_boxes[0]));
    m_vertical = moveDistance(textOf(m_boxes[1]));
}

ScaleDialog::ScaleDialog(QWidget* owner)
    : NumberDialog(owner, "SCALEDLG", QStringLiteral("Scale"),
          { QStringLiteral("Horizontal (percent):"), QStringLiteral("Vertical (percent):") })
{
    setPercentages(100, 100);
}

void ScaleDialog::setPercentages(int horizontal, int vertical)
{
    m_horizontal = horizontal;
    m_vertical = vertical;
    m_boxes[0]->setText(QString::number(horizontal));
    m_boxes[1]->setText(QString::number(vertical));
}

void ScaleDialog::commit()
{
    m_horizontal = scalePercent(textOf(m_boxes[0]));
    m_vertical = scalePercent(textOf(m_boxes[1]));
}

RotateDialog::RotateDialog(QWidget* owner)
    : NumberDialog(owner, "ROTATEDLG", QStringLiteral("Rotate"), { QStringLiteral("Angle (degrees):") })
{
    setAngle(0);
}

void RotateDialog::setAngle(int degrees)
{
    m_angle = degrees;
    m_boxes[0]->setText(QString::number(degrees));
}

void RotateDialog::commit()
{
    m_angle = rotateAngle(textOf(m_boxes[0]));
}

LeadingDialog::LeadingDialog(QWidget* owner)
    : NumberDialog(owner, "LEADDLG", QStringLiteral("Leading"), { QStringLiteral("Leading (points):") })
{
}

void LeadingDialog::setLeading(double points)
{
    m_leading = points;
    m_boxes[0]->setText(QString::fromStdString(formatGeneral(points)));
}

void LeadingDialog::commit()
{
    m_leading = parseNumber(textOf(m_boxes[0])).value_or(0);
}

} // namespace zavora
