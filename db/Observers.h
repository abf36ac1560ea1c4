#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace zym {

// Told of what runs on a connection. `executed`: every statement executed,
// with its text as written, its values and the rows it affected; throwing
// from it fails the statement. `unitEnded`: every unit of work as it ends,
// kept (committed) or not; it must not throw.
struct Observer
{
    std::function<void(const QString &sql, const QVariantMap &values, int affected)> executed;
    std::function<void(bool kept)> unitEnded;
};

class Observers;

// An observer's registration: it is told until this is gone, or its
// connection is.
class Observation
{
public:
    Observation() = default;
    Observation(Observation &&other) noexcept;
    Observation &operator=(Observation &&other) noexcept;
    ~Observation();
    Observation(const Observation &) = delete;
    Observation &operator=(const Observation &) = delete;

private:
    friend class Observers;
    using List = QList<std::pair<int, Observer>>;
    Observation(const std::shared_ptr<List> &list, int id) : m_list(list), m_id(id) { }
    void release();

    std::weak_ptr<List> m_list;
    int m_id = 0;
};

// The observers of one connection, told in the order they were added.
class Observers
{
public:
    [[nodiscard]] Observation add(Observer observer);

    void executed(const QString &sql, const QVariantMap &values, int affected) const;
    void unitEnded(bool kept) const;

private:
    std::shared_ptr<Observation::List> m_list = std::make_shared<Observation::List>();
    int m_lastId = 0;
};

} // namespace zym
