#include "axislabels.h"

#include "captions.h"

namespace {

constexpr int CaptionHeight = 14;

void setUpCaption(QLabel &label, const QColor &colour, Qt::Alignment alignment)
{
    label.setAttribute(Qt::WA_TranslucentBackground);
    label.setAttribute(Qt::WA_TransparentForMouseEvents); // a click reaches the strip below
    label.setStyleSheet(QStringLiteral("background: transparent; color: %1;").arg(colour.name()));
    label.setFont(captionFont());
    label.setAlignment(alignment | Qt::AlignVCenter);
}

} // namespace

DateCaptionLabel::DateCaptionLabel(QWidget *panel, int captionPixel, const QString &text) : QLabel(text, panel)
{
    setUpCaption(*this, Qt::black, Qt::AlignLeft);
    setGeometry(dateCaptionLeft(captionPixel, captionTextWidth(text)), 2, 100, CaptionHeight);
    show();
}

WeightCaptionLabel::WeightCaptionLabel(QWidget *panel, int captionPixel, const QString &text, const QColor &colour)
    : QLabel(text, panel)
{
    setUpCaption(*this, colour, Qt::AlignRight);
    setGeometry(50, captionPixel - CaptionHeight / 2, 30, CaptionHeight);
    show();
}

FatCaptionLabel::FatCaptionLabel(QWidget *panel, int captionPixel, const QString &text, const QColor &colour)
    : QLabel(text, panel)
{
    setUpCaption(*this, colour, Qt::AlignLeft);
    setGeometry(2, captionPixel - CaptionHeight / 2, 30, CaptionHeight);
    show();
}

DateStrip::DateStrip(QWidget *panel, const QImage &picture) : QLabel(panel)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(QPixmap::fromImage(picture));
    setGeometry(panel->rect());
    show();
}

ValueStrip::ValueStrip(QWidget *panel, const QImage &light, const QImage &dark)
    : QLabel(panel), m_lightPicture(light), m_darkPicture(dark)
{
    setScaledContents(true);
    setPixmap(QPixmap::fromImage(m_lightPicture));
    setGeometry(panel->rect());
    show();
}

void ValueStrip::toggleShade()
{
    m_light = !m_light;
    setPixmap(QPixmap::fromImage(m_light ? m_lightPicture : m_darkPicture));
}

void ValueStrip::mousePressEvent(QMouseEvent *)
{
    toggleShade();
}
