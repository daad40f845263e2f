// JPEG decoding on libjpeg's classic API with an error manager of our own:
// libjpeg's default one prints and ends the process, ours jumps back to the
// decoder, which turns the failure into an `Exception`.
#include "shell/JpegImage.h"

#include "shell/DataFiles.h"
#include "shell/Exception.h"

#include <QFile>

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Multi-scan (progressive) files keep all coefficients of the picture in
// memory; a forged header could ask for gigabytes, so libjpeg's working
// memory is capped as well. An honest 8192 x 8192 picture fits.
constexpr long MaxJpegWorkingMemory = 512L * 1024 * 1024;

struct TJpegErrors {
    jpeg_error_mgr Manager; // first member: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
};

TJpegErrors* ErrorsOf(j_common_ptr info)
{
    return reinterpret_cast<TJpegErrors*>(info->err);
}

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    std::longjmp(ErrorsOf(info)->Jump, 1);
}

// Warnings (a damaged picture) are counted; trace messages (level >= 0)
// are dropped. Nothing reaches stderr: the library's English texts are not
// the players' language, the program says what went wrong itself.
void EmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    ++info->err->num_warnings;
}

void OutputMessage(j_common_ptr)
{
}

enum class TDecodeFailure { None, Invalid, Damaged, TooLarge, NoMemory };

struct TDecodeResult {
    TDecodeFailure Failure = TDecodeFailure::None;
    unsigned Width = 0;
    unsigned Height = 0;
};

// error_exit longjmps into this frame, so nothing here may need a destructor
// while libjpeg runs; the image lives in the caller's frame.
void DecodeStream(const unsigned char* bytes, unsigned long size, QImage* image, TJpegErrors* errors,
                  TDecodeResult* result)
{
    jpeg_decompress_struct info {};
    info.err = jpeg_std_error(&errors->Manager);
    errors->Manager.error_exit = ErrorExit;
    errors->Manager.emit_message = EmitMessage;
    errors->Manager.output_message = OutputMessage;

    if (setjmp(errors->Jump) != 0) {
        jpeg_destroy_decompress(&info);
        result->Failure = TDecodeFailure::Invalid;
        return;
    }

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = MaxJpegWorkingMemory;
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);

    result->Width = info.image_width;
    result->Height = info.image_height;
    if (info.image_width > unsigned(MaxJpegSide) || info.image_height > unsigned(MaxJpegSide)) {
        jpeg_destroy_decompress(&info);
        result->Failure = TDecodeFailure::TooLarge;
        return;
    }

    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    // A multi-scan file is read whole by start_decompress, so a cut-short
    // one already shows here.
    if (errors->Manager.num_warnings > 0 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        result->Failure = TDecodeFailure::Damaged;
        return;
    }

    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        result->Failure = TDecodeFailure::NoMemory;
        return;
    }

    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        // Stop at the first warning: the rest would be grey filler, and a
        // forged size would make us decode all of it for nothing.
        if (jpeg_read_scanlines(&info, &row, 1) != 1 || errors->Manager.num_warnings > 0) {
            jpeg_destroy_decompress(&info);
            result->Failure = TDecodeFailure::Damaged;
            return;
        }
    }

    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (errors->Manager.num_warnings > 0)
        result->Failure = TDecodeFailure::Damaged;
}


} // namespace

QImage DecodeJpeg(const QByteArray& data, const QString& name)
{
    if (data.isEmpty())
        throw Exception(QString::fromUtf8("Soubor %1 není platný obrázek JPEG: je prázdný.").arg(QuotedPath(name)));
    if (data.size() > MaxJpegFileSize)
        throw Exception(QString::fromUtf8("Obrázek JPEG %1 je příliš velký (%2 bajtů).").arg(QuotedPath(name)).arg(data.size()));

    TJpegErrors errors {};
    TDecodeResult result;
    QImage image;
    DecodeStream(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()),
                 &image, &errors, &result);

    switch (result.Failure) {
    case TDecodeFailure::None:
        return image;
    case TDecodeFailure::Invalid:
        throw Exception(QString::fromUtf8("Soubor %1 není platný obrázek JPEG.").arg(QuotedPath(name)));
    case TDecodeFailure::Damaged:
        throw Exception(QString::fromUtf8("Obrázek JPEG %1 je poškozený.").arg(QuotedPath(name)));
    case TDecodeFailure::TooLarge:
        throw Exception(QString::fromUtf8("Obrázek JPEG %1 je příliš velký (%2 × %3 pixelů, nejvýše %4 × %4).")
                            .arg(QuotedPath(name))
                            .arg(result.Width)
                            .arg(result.Height)
                            .arg(MaxJpegSide));
    case TDecodeFailure::NoMemory:
        break;
    }
    throw Exception(QString::fromUtf8("Na obrázek JPEG %1 není dost paměti.").arg(QuotedPath(name)));
}

QImage LoadJpeg(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QString::fromUtf8("Soubor %1 nelze otevřít: %2.").arg(QuotedPath(path), UnreadableReason(path)));
    if (file.size() > MaxJpegFileSize)
        throw Exception(QString::fromUtf8("Obrázek JPEG %1 je příliš velký (%2 bajtů).").arg(QuotedPath(path)).arg(file.size()));
    // Bounded read: a device file can claim size 0 and never end.
    const QByteArray data = file.read(MaxJpegFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw Exception(QString::fromUtf8("Soubor %1 nelze přečíst.").arg(QuotedPath(path)));
    return DecodeJpeg(data, path);
}
