#pragma once
// The window model's dialogs port with Qt: modal message boxes and the
// file-open dialog, both over the main window.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "form/Dialogs.h"

namespace vb::gui {

/// The Qt icon of a message box for the model's icon.
QMessageBox::Icon qtIcon(MessageIcon icon);

/// A filter of description|pattern pairs ("(*.hrm Polar File)|*.hrm|...")
/// as a Qt file-dialog filter ("(*.hrm Polar File) (*.hrm);;...").
QString qtFileFilter(std::string_view filter);

/// A message text for a plain-text box: CR LF and lone CR become line feeds.
QString messageText(std::string_view text);

class QtDialogs : public Dialogs {
public:
    /// `parent` is the window the boxes and dialogs stand over (may be null).
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParentWidget(QWidget* parent) { m_parent = parent; }

    /// A modal box with the title, text, icon and an OK button.
    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
    /// A modal box with a question icon and Yes and No; true for Yes.
    bool askYesNo(std::string_view title, std::string_view text) override;
    /// The file-open dialog; "" when cancelled.
    std::string openFile(std::string_view filter, std::string_view initialFolder) override;

protected:
    QWidget* parentWidget() const { return m_parent; }

private:
    QPointer<QWidget> m_parent;
};

}  // namespace vb::gui
