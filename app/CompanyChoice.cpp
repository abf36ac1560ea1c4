#include "CompanyChoice.h"

#include <QComboBox>
#include <QAbstractItemView>
#include <QLineEdit>

namespace zym {

CompanyChoice::CompanyChoice(QComboBox &box) : QObject(&box), m_box(box)
{
    Q_ASSERT(box.lineEdit());
    connect(&box, &QComboBox::activated, this, &CompanyChoice::confirm);
    // Leaving the box ends the editing too, typed or not: only typed text
    // counts, and opening the box's own list is no leaving.
    connect(box.lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (m_box.lineEdit()->isModified() && !m_box.view()->isVisible())
            confirm();
    });
}

void CompanyChoice::confirm()
{
    // Cleared before anyone hears of it: a message box shown for this choice
    // takes the focus away and must not confirm it a second time.
    m_box.lineEdit()->setModified(false);
    emit chosen();
}

} // namespace zym
