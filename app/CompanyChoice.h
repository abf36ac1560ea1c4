#pragma once

#include <QObject>

class QComboBox;

namespace zym {

// Tells when the operator has chosen a company in an editable combo box: an
// entry picked from the list, or a typed name confirmed with Enter or by
// leaving the box. Keystrokes alone choose nothing, so a name being typed
// never reaches the server half-finished, and a confirmed name is reported
// once even when Enter both picks the entry and ends the editing.
class CompanyChoice : public QObject
{
    Q_OBJECT

public:
    // `box` must be editable; the choice lives as long as the box.
    explicit CompanyChoice(QComboBox &box);

signals:
    void chosen();

private:
    void confirm();

    QComboBox &m_box;
};

} // namespace zym
