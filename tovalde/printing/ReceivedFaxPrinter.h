#pragma once

#include <QString>

#include <functional>

class FaxDocument;
class Printers;

// Prints a received fax document, page by page, on a printer named by its device name. The main
// window owns one and delegates its print routine to it.
class ReceivedFaxPrinter {
public:
    // Runs the window's pending events between the steps of a long print.
    using EventPump = std::function<void()>;

    // `strWorkFile` is the page-image work file each page passes through.
    ReceivedFaxPrinter(FaxDocument& document, Printers& printers, QString strWorkFile,
                       EventPump letEventsRun = defaultEventPump());

    // Prints every page of `strFileName` that the document can give as a picture, as one job on
    // the printer whose device name is exactly `strPrnName`. An unknown printer or a document
    // without pages prints nothing and is not an error. Throws PrintError; a job interrupted by
    // any error is thrown away, never left half-sent.
    void INS_PrnOut(const QString& strFileName, const QString& strPrnName);

    static EventPump defaultEventPump();

private:
    FaxDocument& document_;
    Printers& printers_;
    QString strWorkFile_;
    EventPump letEventsRun_;
};
