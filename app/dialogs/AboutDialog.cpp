#include "app/dialogs/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace zavora {

namespace {

// The about picture: the same emblem the splash window shows.
QPixmap aboutPicture()
{
    QPixmap picture(180, 130);
    picture.fill(QColor(250, 250, 245));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(230, 60, 40));
    p.drawEllipse(QRectF(20, 15, 90, 60));
    p.setBrush(QColor(40, 90, 200));
    p.drawRect(QRectF(60, 45, 70, 70));
    QPainterPath curve(QPointF(20, 120));
    curve.cubicTo(QPointF(70, 60), QPointF(110, 160), QPointF(160, 80));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3));
    p.drawPath(curve);
    return picture;
}

} // namespace

AboutDialog::AboutDialog(QWidget* owner, const QString& productName)
    : ModalDialog(owner, "ABOUTDLG", QStringLiteral("About ") + productName)
{
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutbmp"));
    picture->setPixmap(aboutPicture());
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(productName, this);
    name->setObjectName(QStringLiteral("product"));
    name->setAlignment(Qt::AlignCenter);
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    name->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ModalDialog::accept);
    layout->addWidget(buttons);
}

} // namespace zavora
