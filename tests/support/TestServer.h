#pragma once

#include "db/EmbeddedDatabase.h"
#include "db/Session.h"

#include <QTemporaryDir>

#include <map>
#include <memory>

namespace zym::test {

// A throw-away embedded server for one test: a temporary folder with the
// master database ZYM_MASTERV8 listing two empty companies, FIRMA_A and
// FIRMA_B, each with every company table.
class TestServer
{
public:
    static const QString company;      // FIRMA_A
    static const QString otherCompany; // FIRMA_B

    TestServer();

    QString folder() const { return m_dir.path(); }
    ConnectionSettings settings() const;

    // Direct access to a company file, to seed rows and read back results.
    EmbeddedDatabase &db(const QString &name = company);

    // Connects `session` and makes FIRMA_A its current database.
    void connect(Session &session) const;

private:
    QTemporaryDir m_dir;
    std::map<QString, std::unique_ptr<EmbeddedDatabase>> m_files;
};

} // namespace zym::test
