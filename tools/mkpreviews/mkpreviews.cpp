// Makes the thumbnail previews of a folder from the command line through the
// previewer's own batch, with the data file and the previews kept in that
// folder: same names, same data-file entries, same pixels.

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "imaging/CodecBridge.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "thumbs/PreviewBatch.h"
#include "thumbs/PreviewStore.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace brisvale;
namespace fs = brisvale::platform::fs;

namespace {

// The previewer's file list mask when it opens, and the phone kinds it
// offers beside them: the window makes their previews as well.
const char kMask[] = "*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF;*.WMF;*.ICO;*.WEBP;*.AVIF;*.HEIC;*.HEIF";

// A name as a terminal may show it: control characters are written as
// escapes, never sent as they are.
QByteArray printable(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            out += QStringLiteral("\\x{%1}").arg(c.unicode(), 0, 16);
        else
            out += c;
    }
    return out.toLocal8Bit();
}

// Message boxes become lines on standard error; questions are answered No.
class ConsoleDialogs : public platform::DialogService {
public:
    void message(platform::MessageKind, const QString &text) override
    {
        std::fprintf(stderr, "%s\n", printable(text).constData());
    }
    bool confirm(const QString &, platform::QuestionIcon) override { return false; }
    std::optional<QString> openFile(const platform::OpenFileRequest &) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor &) override { return std::nullopt; }
};

int usage()
{
    std::fprintf(stderr, "usage: mkpreviews DIR [--for-size] [--resolution auto|16|256|true]\n"
                         "Try 'mkpreviews --help' for more information.\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef __GLIBC__
    // Full-size pictures come and go on several threads; a fixed threshold
    // hands their memory back at once instead of keeping it in each thread's heap.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    if (const auto status = cli::answerStandardOptions(argc, argv, program::kHelp, program::kVersion))
        return *status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString dir;
    PreviewFormat format = PreviewFormat::ForSpeed;
    PreviewResolution resolution = PreviewResolution::Automatic;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--for-size")) {
            format = PreviewFormat::ForSize;
        } else if (arg == QLatin1String("--resolution") && i + 1 < argc) {
            const QString value = QString::fromLocal8Bit(argv[++i]);
            if (value == QLatin1String("auto"))
                resolution = PreviewResolution::Automatic;
            else if (value == QLatin1String("16"))
                resolution = PreviewResolution::SystemColors16;
            else if (value == QLatin1String("256"))
                resolution = PreviewResolution::Colors256;
            else if (value == QLatin1String("true"))
                resolution = PreviewResolution::TrueColor;
            else
                return usage();
        } else if (!arg.startsWith(QLatin1String("--")) && dir.isEmpty()) {
            dir = arg;
        } else {
            return usage();
        }
    }
    if (dir.isEmpty())
        return usage();
    if (!fs::directoryExists(dir)) {
        std::fprintf(stderr, "mkpreviews: %s is not a folder\n", printable(dir).constData());
        return 1;
    }

    // The application's palette gives the working box its button-face colour.
    QApplication app(argc, argv);
    ConsoleDialogs dialogs;
    platform::setDialogService(&dialogs);
    LoadCodecLibrary();

    // The previewer lists folders by their full path; so do the entries here.
    dir = QDir(dir).absolutePath();
    PreviewStore store;
    store.setListedFolder(dir);
    store.setPreviewsDir(dir);
    store.setDataFile(store.listedFolder() + QStringLiteral("thumbs.dat"));
    store.setFormat(format);
    store.setResolution(resolution);
    store.setBackground(QApplication::palette().color(QPalette::Button));

    // Every listed picture is made anew, as Create with deleting old
    // previews does; the window differs only in stopping at its free slots.
    PreviewBatch batch(store, nullptr);
    batch.hooks().made = [](const QString &name, const QString &preview) {
        std::printf("%s -> %s\n", printable(name).constData(),
                    preview.isEmpty() ? "(none)" : printable(preview).constData());
        std::fflush(stdout);
    };
    const PreviewBatch::Result result = batch.create(fs::findFiles(dir, QLatin1String(kMask)), true,
                                                     QLatin1String(kMask));
    platform::setDialogService(nullptr);
    return result == PreviewBatch::Result::Failed ? 1 : 0;
}
