#include "printlist/storerows.h"

#include <algorithm>
#include <climits>

namespace printlist {

StoreRows::StoreRows(std::unique_ptr<Store> store) : store_(std::move(store)) {
    auto stream = store_->openRows();
    names_ = stream->fieldNames();
    long long count = 0;
    QStringList row;
    while (stream->next(row)) {
        ++count;
    }
    rowCount_ = int(std::min<long long>(count, INT_MAX));
}

int StoreRows::fieldIndex(const QString& name) const {
    return indexOfField(names_, name);
}

void StoreRows::first() {
    stream_.reset(); // the store serves one stream at a time
    stream_ = store_->openRows();
    eof_ = false;
    next();
}

void StoreRows::next() {
    if (eof_ || !stream_) {
        return;
    }
    if (!stream_->next(row_)) {
        end();
        stream_.reset();
    }
}

} // namespace printlist
