#include "gui/ProfileWidget.h"

#include <QPainter>

#include "form/MainForm.h"
#include "gui/PainterCanvas.h"

namespace vb::gui {

ProfileWidget::ProfileWidget(const MainForm& form, int originLeft, int originTop, QWidget* parent)
    : QWidget(parent), m_form(form), m_originLeft(originLeft), m_originTop(originTop) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProfileWidget::redraw() {
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    const QColor face = palette().color(QPalette::Window);
    picture.fill(face);
    {
        QPainter painter(&picture);
        PainterCanvas canvas(painter, m_originLeft, m_originTop, face);
        m_form.paintProfile(canvas);
    }
    m_picture = std::move(picture);
    update();
}

void ProfileWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), palette().color(QPalette::Window));
    else
        painter.drawPixmap(0, 0, m_picture);
}

void ProfileWidget::resizeEvent(QResizeEvent*) { redraw(); }

}  // namespace vb::gui
