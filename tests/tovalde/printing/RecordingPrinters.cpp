#include "RecordingPrinters.h"

#include "PrintError.h"

namespace {

QString number(double value) {
    return QString::number(value, 'g', 10);
}

class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(RecordingPrinters& owner) : owner_(owner) {}

    QSize paperSize() const override { return owner_.paper; }

    void setUserScale(double unitsAcross, double unitsDown) override {
        record(QStringLiteral("scale"), number(unitsAcross) + " x " + number(unitsDown));
    }

    void drawPicture(const QImage& picture, const QRectF& target) override {
        record(QStringLiteral("draw"), QStringLiteral("%1x%2-picture at %3,%4 %5x%6")
                                           .arg(picture.width())
                                           .arg(picture.height())
                                           .arg(number(target.x()), number(target.y()),
                                                number(target.width()), number(target.height())));
    }

    void newPage() override { record(QStringLiteral("newpage")); }
    void endDocument() override { record(QStringLiteral("end")); }
    void abortDocument() override { record(QStringLiteral("abort")); }

private:
    void record(const QString& call, const QString& arguments = {}) {
        if (owner_.failing.contains(call))
            throw PrintError(QStringLiteral("%1 failed on purpose").arg(call));
        owner_.calls << (arguments.isEmpty() ? call : call + ' ' + arguments);
    }

    RecordingPrinters& owner_;
};

} // namespace

std::unique_ptr<Printer> RecordingPrinters::select(const QString& deviceName,
                                                   const QString& jobTitle) {
    calls << QStringLiteral("select %1 %2").arg(deviceName, jobTitle);
    return std::make_unique<RecordingPrinter>(*this);
}
