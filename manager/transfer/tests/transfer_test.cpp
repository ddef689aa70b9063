#include "transfer/drivescan.h"
#include "transfer/floppyformat.h"
#include "transfer/imagefile.h"
#include "transfer/machinefiles.h"
#include "transfer/mediafiles.h"
#include "transfer/saferemoval.h"
#include "transfer/transfermode.h"

#include "kn4/atomicfile.h"
#include "transfertesting.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace kn4::transfer;
using kn4::testing::compiledPanel;
using kn4::testing::pattern;
using kn4::testing::readFile;

namespace {

std::size_t entriesIn(const fs::path &dir)
{
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(Modes, ImpostaModoShowsEachFamilysControls)
{
    struct Case { Mode mode; bool usb, floppy, cambioVolpe, combo4, images, scans; const char *folder; };
    const Case cases[] = {
        {Mode::Lince, false, true, false, false, false, false, ""},
        {Mode::Emulator, true, false, false, false, true, true, "immagini"},
        {Mode::Volpe, true, false, true, true, false, true, "maglie"},
        {Mode::Orsa, true, false, false, false, false, true, "orsa"},
    };
    for (const Case &c : cases) {
        const ModeView v = ImpostaModo(c.mode);
        const auto n = static_cast<std::size_t>(c.mode);
        for (std::size_t i = 0; i < kModeCount; ++i)
            EXPECT_EQ(v.checked[i], i == n) << n;
        EXPECT_EQ(v.usbMenu, c.usb) << n;
        EXPECT_EQ(v.floppyMenu, c.floppy) << n;
        EXPECT_EQ(v.cambioVolpe, c.cambioVolpe) << n;
        EXPECT_EQ(v.volpePlcList, c.combo4) << n;
        EXPECT_EQ(v.imageControls, c.images) << n;
        EXPECT_EQ(v.scansDrives, c.scans) << n;
        EXPECT_FALSE(v.caption.empty());
        EXPECT_EQ(modeFolder(c.mode), c.folder);
        EXPECT_EQ(modeFromSaveText(saveLine(c.mode)), c.mode);
    }
    EXPECT_EQ(saveLine(Mode::Volpe), " 2");
    EXPECT_EQ(modeFromSaveText("7"), Mode::Lince);
    EXPECT_EQ(modeFromSaveText(""), Mode::Lince);
}

TEST(Drives, MountedVolumesFromMountinfo)
{
    const std::string mountinfo =
        "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw\n"
        "23 22 0:5 / /proc rw - proc proc rw\n"
        "24 22 259:1 / /boot/efi rw - vfat /dev/nvme0n1p1 rw\n"
        "25 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
        "26 22 8:17 / /media/tecnico/CHIAVE\\040USB rw,nosuid shared:5 - vfat /dev/sdb1 rw\n"
        "27 22 8:33 / /run/media/tecnico/FLOPPY rw - vfat /dev/sdc rw\n"
        "28 22 0:50 / /mnt/rete rw - cifs //server/maglie rw\n"
        "29 22 0:51 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "broken line\n";
    const auto drives = mountedVolumes(mountinfo);
    ASSERT_EQ(drives.size(), 4u);
    EXPECT_EQ(drives[0].root, "/");
    EXPECT_EQ(drives[1].root, "/media/tecnico/CHIAVE USB");
    EXPECT_EQ(drives[1].device, "/dev/sdb1");
    EXPECT_EQ(drives[2].root, "/run/media/tecnico/FLOPPY");
    EXPECT_EQ(drives[3].root, "/mnt/rete");
    EXPECT_EQ(drives[3].device, "");
}

class DriveScanTest : public kn4::testing::TransferTest
{
protected:
    Drive stick(const std::string &name, const char *folder)
    {
        fs::create_directories(m_dir / name);
        if (folder)
            fs::create_directories(m_dir / name / folder);
        Drive d;
        d.root = m_dir / name;
        return d;
    }
};

TEST_F(DriveScanTest, NewDriveWithTheModesFolderBecomesTheModesDrive)
{
    const Drive system = stick("sistema", nullptr);
    const Drive other = stick("altro", "IMMAGINI");
    const Drive usb = stick("chiave", "MAGLIE");
    DriveScanner scanner;
    EXPECT_FALSE(scanner.scan({system, other}, Mode::Volpe));   // no drive holds maglie/
    EXPECT_FALSE(scanner.modeDrive());
    EXPECT_TRUE(scanner.scan({system, other, usb}, Mode::Volpe)); // plugged in
    EXPECT_EQ(scanner.modeDrive()->root, usb.root);
    EXPECT_FALSE(scanner.scan({system, other, usb}, Mode::Volpe));
    EXPECT_TRUE(scanner.scan({system, other}, Mode::Volpe));      // pulled out
    EXPECT_FALSE(scanner.modeDrive());
    // A drive already there is not new; after a change of mode every drive is.
    EXPECT_FALSE(scanner.scan({system, other}, Mode::Emulator));
    scanner.reset();
    EXPECT_TRUE(scanner.scan({system, other}, Mode::Emulator));
    EXPECT_EQ(scanner.modeDrive()->root, other.root);
}

TEST_F(DriveScanTest, ListedFoldersAndTheFloppy)
{
    stick("chiave", "maglie");
    const auto settings = DriveSettings::parse("; drives\r\nunita = " + (m_dir / "chiave").string()
                                               + "\r\nunita=/nowhere\r\nfloppy=" + m_dir.string() + "\r\n");
    const auto drives = currentDrives({}, settings);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_TRUE(drives[0].listed);
    EXPECT_EQ(findFloppy(drives, settings, volumeCapacity)->root, m_dir);

    Drive small, large;
    small.root = "/media/a", small.fsType = "vfat";
    large.root = "/media/b", large.fsType = "vfat";
    auto capacity = [](const fs::path &p) -> std::uint64_t { return p == "/media/a" ? 730112 : 8000000000; };
    EXPECT_EQ(findFloppy({large, small}, {}, capacity)->root, "/media/a");
    EXPECT_FALSE(findFloppy({large}, {}, capacity));
    // A 1.44 MB diskette is no floppy of the machine's 720 KB drive.
    auto highDensity = [](const fs::path &) -> std::uint64_t { return 1457664; };
    EXPECT_FALSE(findFloppy({small}, {}, highDensity));
}

using MediaFilesTest = kn4::testing::TransferTest;

TEST_F(MediaFilesTest, ReplacementThatFailsItsCheckKeepsTheOldFile)
{
    const fs::path target = put("X.vlp", "old");
    std::string error;
    EXPECT_FALSE(replaceFileVerified(target, "new", [](std::string_view) { return "spoilt"; }, &error));
    EXPECT_EQ(error, "spoilt");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(entriesIn(m_dir), 1u);
    EXPECT_FALSE(replaceFileVerified(m_dir / "none" / "X.vlp", "new", {}, &error));
}

TEST_F(MediaFilesTest, CopyThatReadsBackDifferentKeepsTheOldFile)
{
    // The medium garbles one byte on its way: the read-back tells, the old
    // panel stays, the copy is reported failed, no temporary file is left.
    const fs::path source = put("A.KN4", compiledPanel(3000, 1));
    const fs::path target = put("disco/A.KN4", "old panel");
    kn4::AtomicFileWriter::setWriteFunctionForTesting([](int fd, const void *data, std::size_t size) -> ssize_t {
        std::string bytes(static_cast<const char *>(data), size);
        bytes[size / 2] ^= 0x10;
        return ::write(fd, bytes.data(), size);
    });
    std::string error;
    const bool copied = copyFileVerified(source, target, &error);
    kn4::AtomicFileWriter::setWriteFunctionForTesting(nullptr);
    EXPECT_FALSE(copied);
    EXPECT_NE(error.find("does not read back"), std::string::npos) << error;
    EXPECT_EQ(readFile(target), "old panel");
    EXPECT_EQ(entriesIn(m_dir / "disco"), 1u);
}

TEST_F(MediaFilesTest, LookupIgnoresCaseAndTakesOnlyPlainNames)
{
    put("Sub/Davanti.Kn4", "a");
    EXPECT_EQ(findEntryIgnoringCase(m_dir, "SUB"), m_dir / "Sub");
    EXPECT_EQ(listFileNames(m_dir / "Sub", ".KN4"), std::vector<std::string>{"DAVANTI"});
    for (const char *name : {".", "..", "", "Sub/Davanti.Kn4"})
        EXPECT_FALSE(findEntryIgnoringCase(m_dir, name)) << name;
}

class MachineFilesTest : public kn4::testing::TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        m_program = m_dir / "programma";
        m_disk = m_dir / "disco";
        fs::create_directories(m_disk);
        for (const char *plc : {"p_lince/PLC1.EXE", "p_lince/PLC2.EXE", "P_VOLPE/PORTALE.EXE", "P_VOLPE/V10.EXE",
                                "P_VOLPE/V20.exe"})
            age(put(m_program / plc, plc), 7200);
    }
    fs::path m_program, m_disk;
};

TEST_F(MachineFilesTest, FloppyCheckLines)
{
    const std::vector<std::string> plcs = {"PLC1.EXE", "PLC2.EXE"};
    for (const char *name : {"MOTORE.EXE", "Avvio.exe", "maglia.key"})
        put(m_disk / name, "x");
    FloppyCheck check = FSel(m_disk, m_program, "PLC1.EXE", plcs, "Controllo del disco");
    EXPECT_EQ(check.lines, (std::vector<std::string>{"Controllo del disco", "Motore.exe OK", "avvio.exe OK",
                                                      "scrivo.exe  ", "maglia.key OK", "scrivo.key  ", "PLC1.EXE  "}));
    EXPECT_FALSE(check.plcOnDisk);

    // An older PLC2 on the floppy: shown, and not current.
    fs::copy_file(m_program / "p_lince/PLC2.EXE", m_disk / "plc2.exe");
    check = FSel(m_disk, m_program, "PLC2.EXE", plcs, "");
    EXPECT_EQ(*check.plcOnDisk, "plc2.exe");
    EXPECT_FALSE(check.plcCurrent);
    EXPECT_EQ(check.lines[6], "PLC nel disco = plc2.exe");
    EXPECT_EQ(check.lines[7].substr(0, 11), "Dati PLC = ");
    EXPECT_EQ(check.lines[8], "PLC PLC2.EXE non aggiornato");

    // cambio puts PLC1 in its version and takes PLC2 away.
    ASSERT_TRUE(cambio(m_disk, m_program, "PLC1.EXE", plcs).ok);
    check = FSel(m_disk, m_program, "PLC1.EXE", plcs, "");
    EXPECT_EQ(check.lines.back(), "PLC OK");
    EXPECT_FALSE(fs::exists(m_disk / "plc2.exe"));
    EXPECT_FALSE(cambio(m_disk, m_program, "PLC9.EXE", plcs).ok);

    // Updating the PLC already there (same name, any letter case): the copy
    // runs, and the removal of "the other PLC" leaves it alone.
    fs::rename(m_disk / "PLC1.EXE", m_disk / "plc1.exe");
    put(m_disk / "plc1.exe", "older");
    ASSERT_TRUE(cambio(m_disk, m_program, "PLC1.EXE", plcs).ok);
    EXPECT_EQ(readFile(m_disk / "plc1.exe"), "p_lince/PLC1.EXE");
    EXPECT_EQ(FSel(m_disk, m_program, "PLC1.EXE", plcs, "").lines.back(), "PLC OK");
}

TEST_F(MachineFilesTest, VolpeDriveCheckAndChange)
{
    const auto names = volpeControllerPrograms(m_program);
    EXPECT_EQ(names, (std::vector<std::string>{"V10.EXE", "V20.EXE"}));
    VolpeCheck check = TestplcVolpe(m_disk, m_program, names);
    EXPECT_EQ(check.lines, (std::vector<std::string>{"PORTALE.EXE  ", "PLC  "}));
    EXPECT_EQ(check.selected, -1);

    put(m_disk / "v20.exe", "older");
    check = TestplcVolpe(m_disk, m_program, names);
    EXPECT_EQ(check.selected, 1);
    EXPECT_EQ(check.lines[1].substr(0, 29), "PLC = V20.EXE non aggiornato ");

    ASSERT_TRUE(cambioVolpe(m_disk, m_program, "V10.EXE", names).ok);
    check = TestplcVolpe(m_disk, m_program, names);
    EXPECT_EQ(check.lines[0], "PORTALE.EXE OK");
    EXPECT_EQ(check.selected, 0);
    EXPECT_EQ(check.lines[1].substr(0, 17), "PLC = V10.EXE OK ");
    EXPECT_FALSE(fs::exists(m_disk / "v20.exe"));

    // The same PLC again, over an older copy: updated, never removed.
    put(m_disk / "V10.EXE", "older");
    ASSERT_TRUE(cambioVolpe(m_disk, m_program, "V10.EXE", names).ok);
    EXPECT_EQ(readFile(m_disk / "V10.EXE"), "P_VOLPE/V10.EXE");
    EXPECT_EQ(TestplcVolpe(m_disk, m_program, names).lines[1].substr(0, 17), "PLC = V10.EXE OK ");
}

using FloppyFormatTest = kn4::testing::TransferTest;

TEST(FloppyFormat, ScriptText)
{
    FormatRequest request;
    request.floppy.root = "/media/tecnico/FLOPPY";
    request.floppy.device = "/dev/sdc";
    request.programDirectory = "/opt/kn4 suite";
    request.plcName = "PLC1.EXE";
    for (bool quick : {false, true}) {
        request.quick = quick;
        const std::string golden = readFile(fs::path(KN4_SOURCE_DIR) / "manager/transfer/tests/golden"
                                            / (quick ? "formatv.sh" : "format.sh"));
        EXPECT_EQ(formatScript(request).text, golden);
    }
    request.floppy.device.clear();
    EXPECT_FALSE(formatScript(request).error.empty());
    EXPECT_EQ(formatQuestion(request.floppy), "Formattare il dischetto in /media/tecnico/FLOPPY  ??");
}

// The script run for real on a diskette image file standing in for the device.
TEST_F(FloppyFormatTest, FormatScriptMakesTheFloppy)
{
    FormatRequest request;
    request.floppy.root = m_dir / "mnt";
    request.floppy.device = (m_dir / "floppy.img").string();
    request.programDirectory = m_dir / "programma";
    request.plcName = "plc1.exe";
    request.quick = true;
    put("programma/F_DISCO/MOTORE.EXE", "motore");
    put("programma/F_DISCO/SCRIVO.KEY", "key");
    put("programma/p_lince/PLC1.EXE", "plc");
    fs::create_directories(request.floppy.root);
    kn4::testing::writeFile(request.floppy.device, std::string(737280, '\0'));
    const fs::path script = put(kFormatScriptName, formatScript(request).text);
    ASSERT_EQ(std::system(("MTOOLS_SKIP_CHECK=1 sh " + script.string() + " </dev/null >/dev/null 2>&1").c_str()), 0);
    ASSERT_EQ(std::system(("fsck.fat -n " + request.floppy.device + " >/dev/null").c_str()), 0);
    for (const char *name : {"MOTORE.EXE", "SCRIVO.KEY", "PLC1.EXE"})
        EXPECT_EQ(std::system(("MTOOLS_SKIP_CHECK=1 mdir -i " + request.floppy.device + " ::/" + name
                               + " >/dev/null 2>&1").c_str()), 0) << name;
}

TEST(SafeRemoval, UnmountAndPowerOffOrSayHow)
{
    Drive usb;
    usb.root = "/media/tecnico/CHIAVE";
    usb.device = "/dev/sdb1";
    const RemovalPlan plan = safeRemoval(usb, true);
    ASSERT_EQ(plan.commands.size(), 2u);
    EXPECT_EQ(plan.commands[0], (std::vector<std::string>{"udisksctl", "unmount", "-b", "/dev/sdb1"}));
    EXPECT_EQ(plan.commands[1], (std::vector<std::string>{"udisksctl", "power-off", "-b", "/dev/sdb1"}));
    EXPECT_TRUE(safeRemoval(usb, false).commands.empty());
    EXPECT_NE(safeRemoval(usb, false).message.find("umount /media/tecnico/CHIAVE"), std::string::npos);
    usb.device.clear();
    EXPECT_TRUE(safeRemoval(usb, true).commands.empty());
}

using ImageFileTest = kn4::testing::TransferTest;

TEST_F(ImageFileTest, BuildReplaceAndDelete)
{
    const fs::path images = m_dir / "chiave/IMMAGINI";
    fs::create_directories(images);
    const fs::path old = put(images / "disco1.vlp", "old image");
    ImageJob job;
    job.imagesFolder = images;
    job.name = " disco1 ";
    job.controllerProgram = put("p_lince/PLC1.EXE", pattern(30000, 1));
    job.panels = {put("dischi/D/A.KN4", compiledPanel(2000, 2)), put("dischi/D/B.KN4", compiledPanel(1024, 3))};
    job.rawImage = true;
    ImageJobResult result = buildImageFile(job);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.image, old); // the old image's own name
    EXPECT_EQ(fs::file_size(old), 7196u + 1028u * 33u);
    EXPECT_EQ(fs::file_size(images / "DISCO1.img"), 737280u);
    EXPECT_EQ(listFileNames(images, ".vlp"), std::vector<std::string>{"DISCO1"});

    // Too large: refused before anything is written.
    job.panels.push_back(put("dischi/D/C.KN4", compiledPanel(700 * 1024, 4)));
    const std::string built = readFile(old);
    result = buildImageFile(job);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(readFile(old), built);
    EXPECT_EQ(entriesIn(images), 2u);

    // A panel without compiled code would give the machine no program: the
    // image is refused, naming it, and the old one stays.
    job.panels.back() = put("dischi/D/SORGENTE.KN4", "SORGENTE.KN4\r\ntipo AB---\r\n");
    result = buildImageFile(job);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Pannello senza programma compilato, non messo nel disco: SORGENTE");
    EXPECT_EQ(readFile(old), built);

    job.name = "";
    EXPECT_EQ(buildImageFile(job).error, "Scegliere il nome dell'immagine");
    ASSERT_TRUE(deleteImage(images, "DISCO1", nullptr));
    EXPECT_EQ(entriesIn(images), 0u);
}

} // namespace
