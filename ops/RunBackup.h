#pragma once

#include <QString>

namespace zym {

class Connection;
class Progress;
class Prompter;

// The backup a real run makes of the company database before its first
// change. The progress display says that it is being made and then how long
// it took. A backup that fails asks the operator whether to go on without
// one: Yes goes on, No ends the run before anything changed (RunDeclined).
class RunBackup
{
public:
    RunBackup(Connection &connection, Prompter &prompter);

    // Makes the backup, showing it on `progress`; call it once, where the
    // run is about to change data.
    void make(Progress &progress);

    // What the run's report says of its backup: the file, or why there is none.
    QString outcome() const { return m_outcome; }

    static QString refusedQuestion(
            const QString &serverText); // "Yedek alınamadı: <text>. Yedeksiz devam edilsin mi?"

private:
    Connection &m_connection;
    Prompter &m_prompter;
    QString m_outcome;
};

} // namespace zym
