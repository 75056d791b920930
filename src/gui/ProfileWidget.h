#pragma once
// The route profile area. It draws the window model's profile into a picture
// when the model has finished an operation, and shows that picture when
// asked to paint, so a repaint during a modal message box never reads a ride
// that an operation is still changing.

#include <QPixmap>
#include <QWidget>

namespace vb {
class MainForm;
}

namespace vb::gui {

class ProfileWidget : public QWidget {
    Q_OBJECT
public:
    /// Shows `form`'s profile; the widget's top-left corner stands at
    /// (`originLeft`, `originTop`) twips of the client area.
    ProfileWidget(const MainForm& form, int originLeft, int originTop, QWidget* parent = nullptr);

    /// Draws the profile afresh from the model.
    void redraw();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const MainForm& m_form;
    int m_originLeft;
    int m_originTop;
    QPixmap m_picture;
};

}  // namespace vb::gui
