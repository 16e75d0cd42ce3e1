// The private PostgreSQL cluster of the test run (tools/pgcluster.sh, started by test.sh):
// fresh databases for one test each, and stopping and starting the server under a test.
#pragma once

#include <QString>

// The cluster's connection string from DRAVELIN_PG_CONNINFO, or from BUILD/pg/conninfo when
// the server runs there. Throws std::runtime_error with the reason when there is none: the
// tests that need the server fail, they never skip.
QString pgClusterConninfo();

// Runs tools/pgcluster.sh `action` (start, stop) on the build directory's cluster `name`
// (BUILD/name); returns what it printed, throws on failure. A test that stops a server uses a
// cluster of its own, so the other tests running meanwhile keep theirs.
QString pgCluster(const char* action, const QString& name);

// A database of its own on the cluster, dropped again at the end.
class PgTestDatabase {
  public:
    PgTestDatabase();
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    // A libpq connection string for this database.
    const QString& conninfo() const { return conninfo_; }
    // Runs one statement straight through libpq (set-up and checks); throws on failure.
    void exec(const QString& sql) const;

  private:
    QString name_;
    QString conninfo_;
};
