#include "gui/QtDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "gui/QtText.h"

namespace vb::gui {
QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::critical:
            return QMessageBox::Critical;
        case MessageIcon::question:
            return QMessageBox::Question;
        case MessageIcon::information:
            return QMessageBox::Information;
        case MessageIcon::none:
            break;
    }
    return QMessageBox::NoIcon;
}

QString qtFileFilter(std::string_view filter) {
    const QStringList parts = qtText(filter).split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the last parentheses of an entry; several
        // patterns are separated by blanks there, not by semicolons.
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        entries << parts[i] + QStringLiteral(" (") + patterns.simplified() + u')';
    }
    if (parts.size() % 2 == 1 && !parts.back().isEmpty())  // a description without pattern
        entries << parts.back() + QStringLiteral(" (*)");
    return entries.join(QStringLiteral(";;"));
}

QString messageText(std::string_view text) {
    QString result = qtText(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

void QtDialogs::showMessage(std::string_view title, std::string_view text, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), qtText(title), messageText(text), QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDialogs::askYesNo(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qtText(title), messageText(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::string QtDialogs::openFile(std::string_view filter, std::string_view initialFolder) {
    const QString chosen =
        QFileDialog::getOpenFileName(m_parent, QString(), qtText(initialFolder), qtFileFilter(filter));
    return chosen.toStdString();
}

}  // namespace vb::gui
