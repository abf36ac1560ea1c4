#pragma once

#include <QDate>
#include <QLineEdit>

#include <optional>

namespace zym {

// A date editor that may hold no date. It starts empty; the operator types a
// date as day.month.year or picks one from the calendar behind its arrow, and
// empties it again with its clear button. Text that is no complete date is
// dropped when the operator leaves the editor, so what it shows is its value.
class NullableDateEdit : public QLineEdit
{
    Q_OBJECT

public:
    static const QString displayFormat; // dd.MM.yyyy

    explicit NullableDateEdit(QWidget *parent = nullptr);

    std::optional<QDate> date() const;
    void setDate(std::optional<QDate> date);

private:
    void showCalendar();
};

} // namespace zym
