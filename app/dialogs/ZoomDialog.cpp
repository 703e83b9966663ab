#include "app/dialogs/ZoomDialog.h"

#include "app/dialogs/DialogValues.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace zavora {

ZoomDialog::ZoomDialog(QWidget* owner)
    : ModalDialog(owner, "ZOOMDLG", QStringLiteral("Zoom"))
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_box(new QLineEdit(this))
{
    m_slider->setObjectName(QStringLiteral("slider"));
    m_box->setObjectName(QStringLiteral("percent"));
    m_slider->setRange(kMinZoomPercent, kMaxZoomPercent);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(100);
    m_slider->setPageStep(25);
    m_slider->setSingleStep(1);
    m_slider->setMinimumWidth(260);
    auto* low = new QLabel(QString::asprintf("%d%%", kMinZoomPercent), this);
    auto* high = new QLabel(QString::asprintf("%d%%", kMaxZoomPercent), this);
    low->setObjectName(QStringLiteral("low"));
    high->setObjectName(QStringLiteral("high"));

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Zoom (percent):"), this), 0, 0);
    grid->addWidget(m_box, 0, 1);
    grid->addWidget(m_slider, 1, 0, 1, 2);
    grid->addWidget(low, 2, 0, Qt::AlignLeft);
    grid->addWidget(high, 2, 1, Qt::AlignRight);
    layout->addLayout(grid);
    addButtons(layout);

    connect(m_box, &QLineEdit::textEdited, this, &ZoomDialog::typed);
    connect(m_slider, &QSlider::valueChanged, this, &ZoomDialog::slid);
    setPercent(100);
    // The number is what one comes to type: the box takes the focus, ahead
    // of the slider in the tab order too.
    setTabOrder(m_box, m_slider);
    m_box->setFocus(Qt::OtherFocusReason);
}

void ZoomDialog::setPercent(int percent)
{
    m_current = percent;
    m_percent = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    m_box->setText(QString::number(percent));
    m_box->selectAll();
    const QSignalBlocker block(m_slider);
    m_slider->setValue(m_percent);
}

void ZoomDialog::typed(const QString& text)
{
    const auto value = parseWholeNumber(text.toStdString());
    if (!value)
        return;
    // The box keeps what is being typed; only the slider follows.
    const QSignalBlocker block(m_slider);
    m_slider->setValue(std::clamp(*value, kMinZoomPercent, kMaxZoomPercent));
}

void ZoomDialog::slid(int value)
{
    m_box->setText(QString::number(value));
}

void ZoomDialog::commit()
{
    m_percent = zoomPercent(textOf(m_box), m_current);
}

} // namespace zavora
