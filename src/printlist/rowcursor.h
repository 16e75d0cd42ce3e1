// Rows as the layout run reads them: from the first row onward, one at a time, fields by
// position. The list view holds every row in memory; the batch tool's sources read a row only
// when the run moves to it, so a list of any length takes the same memory.
#pragma once

#include <QString>
#include <QStringList>

namespace printlist {

// The index of `name` among `names`, case-insensitive; -1 when it is none of them.
inline int indexOfField(const QStringList& names, const QString& name) {
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

class RowCursor {
  public:
    virtual ~RowCursor() = default;

    // Rows the source will give; the run's progress is measured against it.
    virtual int rowCount() const = 0;
    // -1 when no field has that name (case-insensitive).
    virtual int fieldIndex(const QString& name) const = 0;
    // Goes to the first row; a source that streams may be started only once.
    virtual void first() = 0;
    virtual void next() = 0;
    // True once the current row has passed the last row (always for an empty source).
    virtual bool eof() const = 0;
    // Text of field i in the current row; empty past the end or for an unknown field.
    virtual QString field(int i) const = 0;
};

// A source that holds only its current row, as the streamed sources do.
class StreamedRows : public RowCursor {
  public:
    bool eof() const override { return eof_; }
    QString field(int i) const override {
        return eof_ || i < 0 || i >= row_.size() ? QString() : row_[i];
    }

  protected:
    // Past the last row.
    void end() {
        eof_ = true;
        row_.clear();
    }

    bool eof_ = true;
    QStringList row_;
};

} // namespace printlist
