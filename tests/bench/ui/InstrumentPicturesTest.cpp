// The picture buttons show the icon files of the program's folder, and the
// drawn pictures where a file is missing or cannot be read.

#include "bench/InstrumentPanel.h"
#include "bench/ui/FrmInst.h"
#include "bench/ui/InstrumentIcons.h"
#include "sim/SimGpibBus.h"
#include "support/TestServices.h"

#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

using namespace kvb;

namespace {

constexpr int kSide = 32;

void put16(QByteArray& bytes, quint16 v)
{
    bytes.append(static_cast<char>(v & 0xFF));
    bytes.append(static_cast<char>(v >> 8));
}

void put32(QByteArray& bytes, quint32 v)
{
    put16(bytes, static_cast<quint16>(v & 0xFFFF));
    put16(bytes, static_cast<quint16>(v >> 16));
}

// A 32 by 32 icon file of one opaque colour, 32 bits a pixel, written byte
// by byte as the format lays it out.
void writeIcon(const QString& path, QRgb colour)
{
    QByteArray bytes;
    put16(bytes, 0);  // reserved
    put16(bytes, 1);  // an icon
    put16(bytes, 1);  // one image
    const quint32 dataSize = 40 + kSide * kSide * 4 + kSide * 4;
    bytes.append(static_cast<char>(kSide));
    bytes.append(static_cast<char>(kSide));
    bytes.append('\0');  // no palette
    bytes.append('\0');
    put16(bytes, 1);   // planes
    put16(bytes, 32);  // bits a pixel
    put32(bytes, dataSize);
    put32(bytes, 22);  // the image follows the directory
    put32(bytes, 40);
    put32(bytes, kSide);
    put32(bytes, kSide * 2);  // colour rows and mask rows
    put16(bytes, 1);
    put16(bytes, 32);
    for (int k = 0; k < 6; ++k)
        put32(bytes, 0);
    for (int k = 0; k < kSide * kSide; ++k) {
        bytes.append(static_cast<char>(qBlue(colour)));
        bytes.append(static_cast<char>(qGreen(colour)));
        bytes.append(static_cast<char>(qRed(colour)));
        bytes.append(static_cast<char>(0xFF));
    }
    bytes.append(QByteArray(kSide * 4, '\0'));  // mask: every pixel shown
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QImage shown(const QPushButton* b)
{
    return b->icon().pixmap(kSide, kSide).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage drawn(bench::Picture picture)
{
    return ui::instrumentIcon(picture, "/no/such/folder")
        .pixmap(kSide, kSide)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

QRgb centre(const QImage& image)
{
    return image.pixel(image.width() / 2, image.height() / 2);
}

const QRgb kOff = qRgb(200, 0, 0);
const QRgb kOn = qRgb(0, 200, 0);
const QRgb kLinked = qRgb(0, 0, 200);
const QRgb kOpen = qRgb(200, 200, 0);

class InstrumentPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        panel.programFolder = folder.path().toStdString();
    }
    QString file(const char* name) const { return folder.path() + "/" + name; }
    QPushButton* button(const char* name) const
    {
        auto* b = form->findChild<QPushButton*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    void open() { form = std::make_unique<ui::FrmInst>(panel); }

    QTemporaryDir folder;
    test::TestServices t;
    sim::SimGpibBus bus;
    bench::InstrumentPanel panel{t.services, bus};
    std::unique_ptr<ui::FrmInst> form;
};

}  // namespace

TEST_F(InstrumentPictures, TheFoldersIconFilesAreShown)
{
    writeIcon(file("HPYELOF.ICO"), kOff);
    writeIcon(file("HPYELON.ICO"), kOn);
    writeIcon(file("RLYSPC.ICO"), kLinked);
    writeIcon(file("AUXR.ICO"), kOpen);
    open();

    // A toggle: open, linked, open again.
    QPushButton* toggle = button("cmdSwPLDVMminus");
    EXPECT_EQ(centre(shown(toggle)), kOpen);
    toggle->click();
    EXPECT_EQ(centre(shown(toggle)), kLinked);
    toggle->click();
    EXPECT_EQ(centre(shown(toggle)), kOpen);
    QPushButton* smuToggle = button("cmdSwVBVIplus_3");
    smuToggle->click();
    EXPECT_EQ(centre(shown(smuToggle)), kLinked);

    // The operate button: output off after the set-up, on while sampling.
    QPushButton* operate = button("cmdVIOperate_0");
    button("cmdSetVIMODE_0")->click();
    EXPECT_EQ(centre(shown(operate)), kOff);
    button("cmdVIDOMeas_0")->click();
    EXPECT_EQ(centre(shown(operate)), kOn);
    operate->click();
    EXPECT_EQ(centre(shown(operate)), kOff);
}

TEST_F(InstrumentPictures, AMissingOrUnreadableFileLeavesTheDrawnPicture)
{
    // Only the linked picture is a file; the open one is no icon at all.
    writeIcon(file("RLYSPC.ICO"), kLinked);
    {
        QFile broken(file("AUXR.ICO"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not an icon");
    }
    open();

    QPushButton* toggle = button("cmdSwVHDVMplus");
    EXPECT_EQ(shown(toggle), drawn(bench::Picture::RelayOpen));
    toggle->click();
    EXPECT_EQ(centre(shown(toggle)), kLinked);

    QPushButton* operate = button("cmdVIOperate_1");
    button("cmdSetVIMODE_1")->click();
    EXPECT_EQ(shown(operate), drawn(bench::Picture::OutputOff));
    button("cmdVIDOMeas_1")->click();
    EXPECT_EQ(shown(operate), drawn(bench::Picture::OutputOn));
    // The drawn pictures are pictures: the lamp at the centre, lit or dark.
    EXPECT_EQ(qAlpha(centre(drawn(bench::Picture::OutputOff))), 255);
    EXPECT_NE(drawn(bench::Picture::OutputOn), drawn(bench::Picture::OutputOff));
}
