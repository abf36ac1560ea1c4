#include "GridDates.h"

#include <QDateTime>

namespace zym {

namespace {

const QString dateForm = QStringLiteral("dd.MM.yyyy");
const QString dateTimeForm = QStringLiteral("dd.MM.yyyy HH:mm:ss");

bool isDateTime(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QDateTime>();
}

} // namespace

GridDates::GridDates(QAbstractItemModel *model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model)
{
    connect(model, &QAbstractItemModel::modelReset, this, &GridDates::findTimedColumns);
    findTimedColumns();
}

QString GridDates::shown(const QVariant &value, bool withTime)
{
    if (value.metaType() == QMetaType::fromType<QDate>())
        return value.toDate().toString(dateForm);
    if (isDateTime(value))
        return value.toDateTime().toString(withTime ? dateTimeForm : dateForm);
    return QString();
}

void GridDates::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant value = index.data(Qt::DisplayRole);
    const QString text = shown(value, m_timed.contains(index.column()));
    if (!text.isEmpty())
        option->text = text;
}

// Read once per new set of rows: a column is read to its end only while it
// holds nothing but midnights.
void GridDates::findTimedColumns()
{
    m_timed.clear();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const QVariant value = m_model->index(row, column).data(Qt::DisplayRole);
            // The grid shows a NULL as an empty text.
            if (value.isNull() || value.toString().isEmpty())
                continue;
            if (!isDateTime(value))
                break;
            if (value.toDateTime().time() != QTime(0, 0)) {
                m_timed.insert(column);
                break;
            }
        }
    }
}

} // namespace zym
