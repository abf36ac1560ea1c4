#pragma once

#include <QtGlobal>

namespace zym {

// A counter seeded from a typed start value: it starts one below it and is
// increased immediately before each use, so the first use gets the typed
// value. Like the signed 32-bit counters operators are used to, it wraps
// around at the ends of its range instead of failing.
class RunningNumber
{
public:
    explicit RunningNumber(qint32 first) : m_last(quint32(first) - 1u) { }

    qint32 next() { return qint32(++m_last); }
    // What next() gives, without using it up.
    qint32 peek() const { return qint32(m_last + 1u); }

private:
    quint32 m_last;
};

} // namespace zym
