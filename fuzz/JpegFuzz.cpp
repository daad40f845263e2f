// Fuzz target for the JPEG decoder wrapper: any byte string must end in a
// sound picture or an Exception, never in a crash, a hang or a memory fault.
#include "shell/Exception.h"
#include "shell/JpegImage.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage image = DecodeJpeg(bytes, QStringLiteral("fuzz.jpg"));
        // What the about box relies on when the decode reports success.
        if (image.isNull() || image.format() != QImage::Format_RGB888 || image.width() > MaxJpegSide
            || image.height() > MaxJpegSide)
            std::abort();
    } catch (const Exception& error) {
        if (!error.Message.contains(QStringLiteral("fuzz.jpg")))
            std::abort();
    }
    return 0;
}
