#include "app/dialogs/ColorDialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

QColor toQColor(const Rgb& rgb)
{
    return QColor::fromRgbF(static_cast<float>(std::clamp(rgb.red / 100, 0.0, 1.0)),
        static_cast<float>(std::clamp(rgb.green / 100, 0.0, 1.0)),
        static_cast<float>(std::clamp(rgb.blue / 100, 0.0, 1.0)));
}

double fraction(int position, int extent)
{
    return extent <= 1 ? 0 : std::clamp(static_cast<double>(position) / (extent - 1), 0.0, 1.0);
}

// Hue across, saturation up, at full brightness; a cross marks the colour.
class ColorField : public QWidget {
public:
    explicit ColorField(ColorDialog* dialog)
        : QWidget(dialog)
        , m_dialog(dialog)
    {
        setObjectName(QStringLiteral("field"));
        setFixedSize(200, 160);
        setCursor(Qt::CrossCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_picture.size() != size()) {
            m_picture = QImage(size(), QImage::Format_RGB32);
            for (int y = 0; y < height(); ++y)
                for (int x = 0; x < width(); ++x)
                    m_picture.setPixelColor(x, y,
                        toQColor(hsbToRgb({ fraction(x, width()) * 100, (1 - fraction(y, height())) * 100, 100 })));
        }
        QPainter p(this);
        p.drawImage(0, 0, m_picture);
        const Hsb& hsb = m_dialog->hsb();
        const int x = static_cast<int>(std::lround(hsb.hue / 100 * (width() - 1)));
        const int y = static_cast<int>(std::lround((1 - hsb.saturation / 100) * (height() - 1)));
        p.setPen(Qt::black);
        p.drawLine(x - 6, y, x - 2, y);
        p.drawLine(x + 2, y, x + 6, y);
        p.drawLine(x, y - 6, x, y - 2);
        p.drawLine(x, y + 2, x, y + 6);
    }
    void mousePressEvent(QMouseEvent* event) override { pick(event->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            pick(event->position().toPoint());
    }

private:
    void pick(QPoint at)
    {
        m_dialog->pickInField(fraction(at.x(), width()) * 100, (1 - fraction(at.y(), height())) * 100);
    }

    ColorDialog* m_dialog;
    QImage m_picture;
};

// Brightness from full (top) to none, for the current hue and saturation.
class ValueStrip : public QWidget {
public:
    explicit ValueStrip(ColorDialog* dialog)
        : QWidget(dialog)
        , m_dialog(dialog)
    {
        setObjectName(QStringLiteral("strip"));
        setFixedSize(24, 160);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const Hsb& hsb = m_dialog->hsb();
        for (int y = 0; y < height(); ++y) {
            p.setPen(toQColor(hsbToRgb({ hsb.hue, hsb.saturation, (1 - fraction(y, height())) * 100 })));
            p.drawLine(0, y, width() - 1, y);
        }
        const int y = static_cast<int>(std::lround((1 - hsb.brightness / 100) * (height() - 1)));
        p.setPen(hsb.brightness > 50 ? Qt::black : Qt::white);
        p.drawRect(0, y - 2, width() - 1, 4);
    }
    void mousePressEvent(QMouseEvent* event) override { pick(event->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            pick(event->position().toPoint());
    }

private:
    void pick(QPoint at) { m_dialog->pickInStrip((1 - fraction(at.y(), height())) * 100); }

    ColorDialog* m_dialog;
};

class ColorSample : public QWidget {
public:
    explicit ColorSample(ColorDialog* dialog)
        : QWidget(dialog)
        , m_dialog(dialog)
    {
        setObjectName(QStringLiteral("sample"));
        setFixedSize(60, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), toQColor(m_dialog->rgb()));
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    ColorDialog* m_dialog;
};

const char* const kLabels[3][4] = {
    { "Red:", "Green:", "Blue:", "" },
    { "Hue:", "Saturation:", "Brightness:", "" },
    { "Cyan:", "Magenta:", "Yellow:", "Black:" },
};

int shown(double percent)
{
    return static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0)));
}

} // namespace

ColorDialog::ColorDialog(QWidget* owner)
    : ModalDialog(owner, "COLORDLG", QStringLiteral("Color"))
    , m_models(new QButtonGroup(this))
    , m_field(new ColorField(this))
    , m_strip(new ValueStrip(this))
    , m_sample(new ColorSample(this))
{
    auto* modelRow = new QHBoxLayout;
    const char* modelNames[] = { "RGB", "HSB", "CMYK" };
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(modelNames[i]), this);
        button->setObjectName(QString::fromLatin1(modelNames[i]).toLower());
        m_models->addButton(button, i);
        modelRow->addWidget(button);
    }

    auto* values = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QStringLiteral("label%1").arg(i + 1));
        m_boxes[i] = new QSpinBox(this);
        m_boxes[i]->setObjectName(QStringLiteral("value%1").arg(i + 1));
        m_boxes[i]->setRange(0, 100);
        values->addWidget(m_labels[i], i, 0);
        values->addWidget(m_boxes[i], i, 1);
        connect(m_boxes[i], &QSpinBox::valueChanged, this, &ColorDialog::boxChanged);
    }
    auto* right = new QVBoxLayout;
    right->addLayout(modelRow);
    right->addLayout(values);
    right->addStretch();
    right->addWidget(m_sample, 0, Qt::AlignLeft);

    auto* top = new QHBoxLayout;
    top->addWidget(m_field);
    top->addWidget(m_strip);
    top->addSpacing(8);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    addButtons(layout);

    connect(m_models, &QButtonGroup::idClicked, this, [this](int id) { setModel(static_cast<Model>(id)); });
    setModel(RgbModel);
}

void ColorDialog::setColor(const Color& color)
{
    m_rgb = { color.red, color.green, color.blue };
    m_hsb = rgbToHsb(m_rgb);
    writeBoxes();
    colorChanged();
}

Color ColorDialog::color() const
{
    return { static_cast<float>(m_rgb.red), static_cast<float>(m_rgb.green), static_cast<float>(m_rgb.blue) };
}

void ColorDialog::setModel(Model model)
{
    m_model = model;
    m_models->button(model)->setChecked(true);
    for (int i = 0; i < 4; ++i)
        m_labels[i]->setText(QString::fromLatin1(kLabels[model][i]));
    m_labels[3]->setVisible(model == CmykModel);
    m_boxes[3]->setVisible(model == CmykModel);
    writeBoxes();
}

void ColorDialog::pickInField(double hue, double saturation)
{
    m_hsb.hue = std::clamp(hue, 0.0, 100.0);
    m_hsb.saturation = std::clamp(saturation, 0.0, 100.0);
    m_rgb = hsbToRgb(m_hsb);
    writeBoxes();
    colorChanged();
}

void ColorDialog::pickInStrip(double brightness)
{
    m_hsb.brightness = std::clamp(brightness, 0.0, 100.0);
    m_rgb = hsbToRgb(m_hsb);
    writeBoxes();
    colorChanged();
}

void ColorDialog::writeBoxes()
{
    m_writing = true;
    double values[4] = { 0, 0, 0, 0 };
    switch (m_model) {
    case RgbModel:
        values[0] = m_rgb.red, values[1] = m_rgb.green, values[2] = m_rgb.blue;
        break;
    case HsbModel:
        values[0] = m_hsb.hue, values[1] = m_hsb.saturation, values[2] = m_hsb.brightness;
        break;
    case CmykModel: {
        const CmykPercent cmyk = rgbToCmyk(m_rgb);
        values[0] = cmyk.cyan, values[1] = cmyk.magenta, values[2] = cmyk.yellow, values[3] = cmyk.black;
        break;
    }
    }
    for (int i = 0; i < 4; ++i)
        m_boxes[i]->setValue(shown(values[i]));
    m_writing = false;
}

void ColorDialog::boxChanged()
{
    if (m_writing)
        return;
    // The boxes keep what was typed; the colour and the pictures follow them.
    double v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = m_boxes[i]->value();
    switch (m_model) {
    case RgbModel:
        m_rgb = { v[0], v[1], v[2] };
        break;
    case HsbModel:
        m_hsb = { v[0], v[1], v[2] };
        m_rgb = hsbToRgb(m_hsb);
        colorChanged();
        return;
    case CmykModel:
        m_rgb = cmykToRgb({ v[0], v[1], v[2], v[3] });
        break;
    }
    // A grey has no hue of its own: the field keeps the one it had.
    const Hsb hsb = rgbToHsb(m_rgb);
    m_hsb = hsb.saturation > 0 ? hsb : Hsb { m_hsb.hue, 0, hsb.brightness };
    colorChanged();
}

void ColorDialog::colorChanged()
{
    m_field->update();
    m_strip->update();
    m_sample->update();
}

} // namespace zavora
