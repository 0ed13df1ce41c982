// Opening and saving project documents from the workspace: a refusal or a failed write is reported
// in its message box and changes nothing; an opened document's shifts and lengths are shown and kept
// as it holds them, whatever the number boxes held before.
#include "GuiTestSupport.h"

#include "design/FaultySystemCalls.h"
#include "design/DesignLimits.h"
#include "design/FileReader.h"
#include "design/IirFilterType.h"

#include <array>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <tuple>

using namespace guitest;

namespace
{
constexpr auto byUser = juce::sendNotificationSync;

/** A workspace whose user has changed a few settings, so that a refusal has something to keep. */
struct EditedWorkspace : public ::testing::Test
{
    EditedWorkspace()
    {
        d.comboBoxNfft->setSelectedId (6, byUser); // 1024
        d.sliderShift->setValue (-10.0, byUser);
        d.projectFilePath = "/earlier/design.tlvProj";
        d.listener.calls = 0;
    }

    void expectUnchanged()
    {
        EXPECT_EQ (d.listener.calls, 0);
        EXPECT_EQ (d.projectFilePath, "/earlier/design.tlvProj");
        EXPECT_EQ (d.NFFT, 1024u);
        EXPECT_EQ (d.inputData.shift, -10);
        EXPECT_EQ (d.filterData.coefficients.length(), 1024u);
        EXPECT_EQ (d.comboBoxNfft->getText(), "1024");
        EXPECT_EQ (d.sliderShift->getMinimum(), -1024.0);
    }

    ScratchFolder folder;
    ModalScript script; // catches the message boxes
    ProbeDesignComponent d;
};
} // namespace

TEST_F (EditedWorkspace, RefusedDocumentsAreReportedAndChangeNothing)
{
    // A pipe would hold the window until something wrote to it, /dev/zero would be read without end.
    const auto pipe = folder.file ("pipe.tlvProj");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    const auto huge = folder.write ("huge.tlvProj", "{\"Talvo Version\": \"1.0.0\"}");
    ASSERT_EQ (::truncate (huge.getFullPathName().toRawUTF8(), (off_t) DesignLimits::maxProjectDocumentBytes + 1), 0);
    const auto valid = folder.file ("valid.tlvProj");
    ASSERT_TRUE (d.writeProject (valid).wasOk());

    struct Case { juce::String path, message; std::function<SystemCalls()> calls; };
    const Case cases[] = {
        { folder.file ("missing.tlvProj").getFullPathName(), "File does not exist", {} },
        { folder.write ("truncated.tlvProj", "{\"Talvo Version\": \"1.0.0\", \"fs\": 4800").getFullPathName(),
          "This is not a valid file.", {} },
        { folder.write ("newer.tlvProj", "{\"Talvo Version\": \"1.0.1\", \"fs\": 96000, \"NFFT\": 8192}").getFullPathName(),
          "This file was made with a newer version. Please update your Talvo app.", {} },
        { pipe.getFullPathName(), FileReader::notRegularMessage, {} },
        { "/dev/zero", FileReader::notRegularMessage, {} },
        { huge.getFullPathName(), DesignEngine::getDocumentTooLargeMessage(), {} },
        { valid.getFullPathName(), FileReader::describeReadFailure (std::strerror (EIO)),
          [] { return faults::failing (&SystemCalls::read, EIO, 2, faults::shortReads (100)); } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.path);
        script.boxes.clear();
        {
            const SystemCalls::ScopedOverride scope (c.calls ? c.calls() : SystemCalls::system());
            d.loadProject (c.path);
        }
        expectUnchanged();
        ASSERT_EQ (script.boxes.size(), 1u);
        EXPECT_EQ (script.boxes[0].title, "Opening File");
        EXPECT_EQ (script.boxes[0].message, c.message);
        EXPECT_EQ (script.boxes[0].icon, juce::MessageBoxIconType::WarningIcon);
    }
}

TEST_F (EditedWorkspace, FailedWriteIsReportedAndKeepsTheOldFileAndTheDesign)
{
    const auto old = folder.write ("design.tlvProj", "the design saved before\n");
    const auto blocker = folder.write ("blocker", "not a folder");

    // A path below a plain file; a disk with 512 bytes left; a failing disk; a failing rename.
    ASSERT_GT (d.createProjectText().getNumBytesAsUTF8(), 1000u);
    struct Case { juce::File file; std::function<SystemCalls()> calls; rlim_t diskSpace; int error; };
    const Case cases[] = {
        { blocker.getChildFile ("design.tlvProj"), [] { return SystemCalls::system(); }, 0, ENOTDIR },
        { old, [] { return SystemCalls::system(); }, 512, EFBIG },
        { old, [] { return faults::failing (&SystemCalls::fsync, EIO); }, 0, EIO },
        { old, [] { return faults::failing (&SystemCalls::rename, EIO); }, 0, EIO },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::strerror (c.error));
        script.boxes.clear();
        {
            const SystemCalls::ScopedOverride scope (c.calls());
            std::unique_ptr<faults::FileSizeLimit> disk;
            if (c.diskSpace > 0)
                disk = std::make_unique<faults::FileSizeLimit> (c.diskSpace);
            EXPECT_FALSE (d.saveProject (c.file));
        }
        ASSERT_EQ (script.boxes.size(), 1u);
        EXPECT_EQ (script.boxes[0].title, "Saving File");
        EXPECT_EQ (script.boxes[0].message, "Could not write to file. " + c.file.getFullPathName() + ": " + juce::String (std::strerror (c.error)));
        EXPECT_EQ (old.loadFileAsString(), "the design saved before\n");
        EXPECT_EQ (folder.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 2); // no temporary file
        expectUnchanged();
    }
}

TEST_F (EditedWorkspace, ADesignSavedAfterTheRateWasLoweredOpensAgainAndNamesItsLeftOutSection)
{
    auto& f = d.filterData;
    std::tie (f.numIIRs, f.type, f.gain, f.freq, f.q) = std::tuple (1, Matrix<std::size_t> (1, 1, { (std::size_t) IirFilterType::peq }),
                                                                    Matrix<double> (1, 1, { -8.0 }), Matrix<double> (1, 1, { 20000.0 }),
                                                                    Matrix<double> (1, 1, { 0.707 }));
    d.labelFs->setText ("32000", juce::dontSendNotification);
    d.labelTextChanged (d.labelFs.get());
    const auto file = folder.file ("lowered.tlvProj");
    ASSERT_TRUE (d.saveProject (file));

    d.loadProject (file.getFullPathName());
    EXPECT_EQ (d.fs, 32000.0);
    EXPECT_EQ (file.loadFileAsString(), d.createProjectText());
    ASSERT_EQ (script.boxes.size(), 2u); // after the rate entry, and again after Open
    EXPECT_EQ (script.boxes[1].title, "Sample Rate");
    EXPECT_EQ (script.boxes[1].message, d.getLeftOutSectionsWarning());
    EXPECT_TRUE (script.boxes[1].message.contains ("20000 Hz"));
}

TEST_F (EditedWorkspace, AnOpenedDocumentKeepsItsShiftsAndLengthsWhateverTheBoxesHeld)
{
    // The boxes hold values far beyond the document's NFFT, or the document's values lie far beyond
    // the boxes' range: a range change on the way may neither show nor store a value cut to it.
    using Values = std::array<double, 4>; // input shift and window length, filter shift and window length
    struct Case { int heldNfftId; Values held; std::uint64_t nfft; Values opened; };
    const Case cases[] = {
        { 12, { 30000.0, 40000.0, -30000.0, 50000.0 }, 1024, { 10.0, 512.0, -20.0, 256.0 } },
        { 6, { -1000.0, 1000.0, 1000.0, 1000.0 }, 65536, { -30000.0, 40000.0, 30000.0, 50000.0 } },
    };
    const std::array<ValueSlider*, 4> boxes { d.sliderShift.get(), d.sliderWindowLength.get(),
                                              d.sliderWindowShiftFilter.get(), d.sliderWindowLengthFilter.get() };
    const auto stored = [] (const DesignEngine& e)
    {
        return Values { (double) e.inputData.shift, (double) e.inputData.windowLength, (double) e.filterData.windowShift,
                        (double) e.filterData.windowLength };
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.nfft);
        d.comboBoxNfft->setSelectedId (c.heldNfftId, byUser);
        d.comboBoxWindow->setSelectedId (WindowType::hann, byUser);
        d.comboBoxWindowFilter->setSelectedId (WindowType::hann, byUser);
        for (size_t i = 0; i < boxes.size(); ++i)
            boxes[i]->setValue (c.held[i], byUser);
        ASSERT_EQ (stored (d), c.held);

        // The document as the engine writes it.
        DesignEngine source;
        source.NFFT = c.nfft;
        source.inputData.windowType = source.filterData.windowType = WindowType::hann;
        std::tie (source.inputData.shift, source.inputData.windowLength, source.filterData.windowShift,
                  source.filterData.windowLength) = std::tuple ((std::int32_t) c.opened[0], (std::uint64_t) c.opened[1],
                                                                (std::int32_t) c.opened[2], (std::uint64_t) c.opened[3]);
        const auto file = folder.file ("opened.tlvProj");
        ASSERT_TRUE (source.writeProject (file).wasOk());

        const int handlerCalls = d.handlerCalls;
        d.loadProject (file.getFullPathName());
        EXPECT_EQ (d.handlerCalls, handlerCalls) << "a control passed the load on to its handler";
        for (const char* when : { "opened", "refreshed" })
        {
            SCOPED_TRACE (when);
            EXPECT_EQ (d.NFFT, c.nfft);
            EXPECT_EQ (stored (d), c.opened);
            for (size_t i = 0; i < boxes.size(); ++i)
            {
                EXPECT_EQ (boxes[i]->getValue(), c.opened[i]) << boxes[i]->getName();
                EXPECT_EQ (find<juce::Label> (*boxes[i])->getText(), juce::String ((int) c.opened[i])) << boxes[i]->getName();
            }
            EXPECT_EQ (d.createProjectText(), file.loadFileAsString());
            d.refreshControls();
            pump();
        }
    }
    EXPECT_TRUE (script.boxes.empty());
}
