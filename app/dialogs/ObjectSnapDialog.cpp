#include "app/dialogs/ObjectSnapDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace zavora {

namespace {

// A square of the aperture's size, in pixels, centred in the box.
class AperturePreview : public QWidget {
public:
    AperturePreview(QSlider* slider, QWidget* parent)
        : QWidget(parent)
        , m_slider(slider)
    {
        setObjectName(QStringLiteral("preview"));
        setFixedSize(48, 48);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const int side = m_slider->value();
        p.setPen(isEnabled() ? Qt::black : palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawRect(QRect(width() / 2 - side / 2, height() / 2 - side / 2, side, side));
    }

private:
    QSlider* m_slider;
};

} // namespace

ObjectSnapDialog::ObjectSnapDialog(QWidget* owner)
    : ModalDialog(owner, "ASSISTDLG", QStringLiteral("Object Snap"))
    , m_check(new QCheckBox(QStringLiteral("Snap to objects"), this))
    , m_slider(new QSlider(Qt::Horizontal, this))
{
    m_check->setObjectName(QStringLiteral("snap"));
    m_slider->setObjectName(QStringLiteral("aperture"));
    m_slider->setRange(kMinAperture, kMaxAperture);
    m_slider->setTickInterval(5);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setMinimumWidth(160);
    m_preview = new AperturePreview(m_slider, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_check);
    auto* row = new QHBoxLayout;
    row->addWidget(m_slider);
    row->addWidget(m_preview);
    layout->addLayout(row);
    addButtons(layout);

    connect(m_check, &QCheckBox::toggled, this, &ObjectSnapDialog::updateEnabling);
    connect(m_slider, &QSlider::valueChanged, m_preview, qOverload<>(&QWidget::update));
    setSnap(false, kMinAperture);
}

void ObjectSnapDialog::setSnap(bool enabled, int distance)
{
    m_enabled = enabled;
    m_distance = std::clamp(distance, kMinAperture, kMaxAperture);
    m_check->setChecked(enabled);
    m_slider->setValue(m_distance);
    updateEnabling();
}

void ObjectSnapDialog::updateEnabling()
{
    m_slider->setEnabled(m_check->isChecked());
    m_preview->setEnabled(m_check->isChecked());
}

void ObjectSnapDialog::commit()
{
    m_enabled = m_check->isChecked();
    m_distance = m_slider->value();
}

} // namespace zavora
