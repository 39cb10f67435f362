#pragma once

#include <QString>

#include <stdexcept>

// A failure while printing a received fax: the printer system refused the job, a page image
// could not be loaded, or the page or paper geometry gives no usable scale. The print routine
// passes it to its caller, which decides what becomes of that forwarding.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString reason() const { return QString::fromStdString(what()); }
};
