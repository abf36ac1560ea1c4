#include "CommitGroupings.h"

#include "TableDigest.h"
#include "TestServer.h"

#include <QTest>

namespace zym::test {

void compareGroupings(const std::unique_ptr<TestServer> &server,
                      const std::function<void()> &restart,
                      const std::function<void(const CommitGrouping &)> &run)
{
    QList<QStringList> digests;
    for (const CommitGrouping &grouping : { eachUnitAlone, allUnitsTogether }) {
        if (!digests.isEmpty())
            restart();
        run(grouping);
        if (QTest::currentTestFailed())
            return;
        digests << tableDigest(server->db());
    }
    QCOMPARE(digests.at(1), digests.at(0));
}

} // namespace zym::test
