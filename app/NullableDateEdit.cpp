#include "NullableDateEdit.h"

#include <QAction>
#include <QCalendarWidget>
#include <QRegularExpression>
#include <QStyle>
#include <QValidator>

namespace zym {

const QString NullableDateEdit::displayFormat = QStringLiteral("dd.MM.yyyy");

namespace {

std::optional<QDate> parsedDate(const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// Accepts no text or a complete date; lets the digits and dots of a date
// being typed through; drops what is no complete date when the editor is left.
class DateTextValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        static const QRegularExpression partial(QRegularExpression::anchoredPattern(
                QStringLiteral(R"(\d{0,2}(\.\d{0,2}(\.\d{0,4})?)?)")));
        if (input.isEmpty() || parsedDate(input))
            return Acceptable;
        return partial.match(input).hasMatch() ? Intermediate : Invalid;
    }

    void fixup(QString &input) const override
    {
        if (!parsedDate(input))
            input.clear();
    }
};

} // namespace

NullableDateEdit::NullableDateEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new DateTextValidator(this));
    setClearButtonEnabled(true);
    QAction *calendar =
            addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(calendar, &QAction::triggered, this, &NullableDateEdit::showCalendar);
}

std::optional<QDate> NullableDateEdit::date() const
{
    return parsedDate(text());
}

void NullableDateEdit::setDate(std::optional<QDate> date)
{
    setText(date ? date->toString(displayFormat) : QString());
}

void NullableDateEdit::showCalendar()
{
    auto *calendar = new QCalendarWidget(this);
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->setSelectedDate(date().value_or(QDate::currentDate()));
    const auto pick = [this, calendar](QDate picked) {
        setDate(picked);
        calendar->close();
    };
    connect(calendar, &QCalendarWidget::clicked, this, pick);
    connect(calendar, &QCalendarWidget::activated, this, pick);
    calendar->move(mapToGlobal(rect().bottomLeft()));
    calendar->show();
}

} // namespace zym
