// The print-list store as the rest of the program sees it: the list view, the changes the list
// commands make, a row stream for readers that must not hold the whole list, and the change
// notices of a store that other workstations share.
#pragma once

#include "platform/error.h"
#include "printlist/rowset.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace printlist {

class DatabaseError : public platform::Error {
  public:
    // What a front end may tell apart: a busy list is nobody's damage.
    enum class Kind { Failed, Busy, Timeout, OutcomeUnknown };
    explicit DatabaseError(const QString& text, Kind kind = Kind::Failed)
        : platform::Error(text), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// Another program held the list locked for longer than the store waits.
class DatabaseBusy : public DatabaseError {
  public:
    DatabaseBusy();
};

// The server gave no answer within the command's deadline; the command was cancelled.
class DatabaseTimeout : public DatabaseError {
  public:
    DatabaseTimeout();
};

// The connection broke while a change was being committed: it may be in or not.
class DatabaseOutcomeUnknown : public DatabaseError {
  public:
    explicit DatabaseOutcomeUnknown(const QString& cause);
};

// The rows of "select * from seznam" one at a time, in list order, without holding them all.
// The store stays busy until the stream is destroyed.
class RowStream {
  public:
    virtual ~RowStream() = default;
    // Field 0 is the key, fields 1 to 7 are kod to text3.
    virtual const QStringList& fieldNames() const = 0;
    // The next row into `row`; false after the last one. Throws DatabaseError.
    virtual bool next(QStringList& row) = 0;
    // The record key of the row `next` gave last, when the store has keys.
    virtual std::optional<qint64> key() const { return std::nullopt; }
};

// Every row of the stream, with its record keys when the store has them; the first row current.
RowSet drainRows(RowStream& stream);

// Throws DatabaseError when one of the seven values (kod..text3) holds a NUL character, which
// the server cannot store and seznam.db would keep: the two stores would then hold different
// lists. `line` > 0 names the line of an imported file.
void refuseNul(const QStringList& values, int line = 0);

// A row of the table with its record key.
struct KeyedRow {
    qint64 key = 0;
    QStringList values; // kod..text3
    bool operator==(const KeyedRow&) const = default;
};

// Hands the rows of an import one by one: fills `values` (kod..text3) and returns true, or
// returns false after the last row. It may throw to abandon the import.
using RowSource = std::function<bool(QStringList& values)>;

class Store {
  public:
    virtual ~Store() = default;
    Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Connects without reading the list. Throws DatabaseError with the engine's or the
    // server's message.
    virtual void connect() = 0;
    // Connects and loads the list view.
    void open() {
        connect();
        reload();
    }

    // The whole list in memory, as the grid shows it and the label report walks it.
    RowSet& listView() { return listView_; }
    const RowSet& listView() const { return listView_; }
    // Reads the list again; the first row becomes current. A failure leaves the view as it was.
    void reload();
    // reload(), but giving up at once where another program's lock would make it wait.
    virtual void reloadWithoutWaiting() { reload(); }

    virtual std::unique_ptr<RowStream> openRows() = 0;

    // Adds the seven values (kod..text3) `copies` times; fewer than one adds nothing.
    virtual void addCopies(const QStringList& values, int copies) = 0;
    // Deletes every row.
    virtual void clear() = 0;
    // Deletes the record with that key (RowSet::currentKey); a key no longer there deletes
    // nothing.
    virtual void deleteRecord(qint64 key) = 0;
    // Replaces the whole list with the rows of `source`; on any failure the list stays as it was.
    virtual void replaceAll(const RowSource& source) = 0;
    // Adds the rows of `source` after the list's own rows; on any failure none of them is in.
    virtual void appendAll(const RowSource& source) = 0;
    // Tidies the storage after a replacement; a failure here leaves the new list in place.
    virtual void compact() {}
    // Undo of a list command, in one transaction: deletes the records with the keys `drop`
    // and puts `rows` back under their own keys, so that they stand where they stood. A record
    // that took one of those keys meanwhile moves to the end of the list first.
    virtual void restoreRows(const std::vector<qint64>& drop,
                             const std::vector<KeyedRow>& rows) = 0;

    // Makes the list view current: a lost connection is made again (listening again), and the
    // view is read again when it was lost or others changed the list. True when the view was
    // read again. Throws DatabaseError when the store cannot be reached.
    virtual bool catchUp() { return false; }

    // What a background reconnection waits for before its next step: the socket to become
    // readable (or writable, `forWrite`) or `ms` milliseconds to pass. socket -1: connected.
    struct ReconnectWait {
        int socket = -1;
        bool forWrite = false;
        int ms = 0;
    };
    // Takes the making of a lost connection one step further without waiting, so that a window
    // stays usable while the server is away. Once it says connected, the connection listens
    // again and catchUp() reads the list anew. Throws DatabaseError when this attempt failed;
    // the next call starts a new one.
    virtual ReconnectWait reconnectStep() { return {}; }

    // A socket that becomes readable when another program changed the list; -1 when the store
    // sends no such notices.
    virtual int changeSocket() { return -1; }
    // Reads what arrived on changeSocket() without waiting; true when another program changed
    // the list since the last call.
    virtual bool takeChanges() { return false; }

  private:
    RowSet listView_;
};

} // namespace printlist
