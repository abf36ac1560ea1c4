#include "Observers.h"

#include <utility>

namespace zym {

Observation::Observation(Observation &&other) noexcept
    : m_list(std::exchange(other.m_list, {})), m_id(other.m_id)
{
}

Observation &Observation::operator=(Observation &&other) noexcept
{
    if (this != &other) {
        release();
        m_list = std::exchange(other.m_list, {});
        m_id = other.m_id;
    }
    return *this;
}

Observation::~Observation()
{
    release();
}

void Observation::release()
{
    if (const std::shared_ptr<List> list = m_list.lock())
        list->removeIf([this](const auto &entry) { return entry.first == m_id; });
    m_list.reset();
}

Observation Observers::add(Observer observer)
{
    m_list->append({ ++m_lastId, std::move(observer) });
    return Observation(m_list, m_lastId);
}

// Each is told from a copy of the list: an observer may come or go while
// they are told.
void Observers::executed(const QString &sql, const QVariantMap &values, int affected) const
{
    const Observation::List observers = *m_list;
    for (const auto &[id, observer] : observers) {
        if (observer.executed)
            observer.executed(sql, values, affected);
    }
}

void Observers::unitEnded(bool kept) const
{
    const Observation::List observers = *m_list;
    for (const auto &[id, observer] : observers) {
        if (observer.unitEnded)
            observer.unitEnded(kept);
    }
}

} // namespace zym
