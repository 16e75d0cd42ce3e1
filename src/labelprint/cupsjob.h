// Hands a finished print file to the CUPS scheduler as one job, with the options the printer
// surface chose: paper, copies, one-sided, orientation.
#pragma once

#include <QString>

namespace labelprint {

struct CupsJob {
    QString printer; // queue name, an instance suffix ("/name") is dropped
    QString file;
    QString title;
    QString media; // paper key, such as "A4"
    int copies = 1;
    bool landscape = false;
};

// The job number, or 0 with `error` filled when the scheduler refused the job.
int submitCupsJob(const CupsJob& job, QString& error);

} // namespace labelprint
