// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PexloraDocument.h"

#include "DocumentTestSupport.h"
#include "ModelTestSupport.h"
#include "model/GridViewModel.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

QByteArray contents(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A document whose model holds the sample layout.
std::unique_ptr<PexloraDocument> sampleDocument() {
    auto document = std::make_unique<PexloraDocument>();
    EXPECT_TRUE(document->viewModel()->restore(encodePersistedState(test::sampleState())).ok());
    return document;
}

std::string messageOf(const Result<std::unique_ptr<PexloraDocument>, DocumentError>& result) {
    return result.ok() ? "(opened)" : result.error().message.toStdString();
}

TEST(PexloraDocument, DocumentTypeIsOurOwn) {
    EXPECT_EQ(PexloraDocument::typeIdentifier, u"org.pexlora.doc");
    EXPECT_EQ(PexloraDocument::fileExtension, u"pexlora");
    EXPECT_EQ(PexloraDocument::mimeType, u"application/x-pexlora");
}

TEST(PexloraDocument, NewDocumentHasAnEmptyModelWithDefaults) {
    const PexloraDocument document;
    ASSERT_NE(document.viewModel(), nullptr);
    EXPECT_EQ(document.viewModel()->parent(), &document);
    EXPECT_TRUE(document.viewModel()->elements().empty());
    EXPECT_EQ(document.viewModel()->zoomScale(), 1.0);
    EXPECT_EQ(document.viewModel()->panOffset(), QSizeF(0, 0));
    EXPECT_FALSE(document.viewModel()->isDirty());
}

TEST(PexloraDocument, SavedDocumentOpensWithEqualLayout) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rig.pexlora"_s);
    ASSERT_TRUE(sampleDocument()->save(path).ok());
    const auto opened = PexloraDocument::open(path);
    ASSERT_TRUE(opened.ok()) << messageOf(opened);
    EXPECT_EQ(opened.value()->viewModel()->persistedState(), test::sampleState());
}

TEST(PexloraDocument, OpenedDocumentStartsCleanInSelectMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rig.pexlora"_s);
    ASSERT_TRUE(sampleDocument()->save(path).ok());
    const auto opened = PexloraDocument::open(path);
    ASSERT_TRUE(opened.ok());
    const GridViewModel& model = *opened.value()->viewModel();
    EXPECT_FALSE(model.isDirty());
    EXPECT_EQ(model.mode(), AppMode::select);
    EXPECT_TRUE(model.selectionGroups().empty());
    EXPECT_TRUE(model.editSelectedIDs().isEmpty());
    EXPECT_EQ(model.positionIndex().size(), qsizetype(test::sampleState().elements.size()));
}

TEST(PexloraDocument, SavingLeavesTheDirtyFlagAlone) {
    PexloraDocument document;
    document.viewModel()->placeElement({2, 3});
    ASSERT_TRUE(document.viewModel()->isDirty());
    QTemporaryDir dir;
    ASSERT_TRUE(document.save(dir.filePath(u"a.pexlora"_s)).ok());
    EXPECT_TRUE(document.viewModel()->isDirty());
}

TEST(PexloraDocument, XmlDocumentOpensAndIsSavedAsBinary) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"old.pexlora"_s);
    writeFile(path, test::python(R"(
import plistlib, sys
doc = {"elements": [{"id": "6f1c0b52-3a43-4a8e-9d0c-0f2a5e7b9c11", "position": {"col": 1, "row": 2},
                     "numberString": "7"}], "zoomScale": 1.5, "panOffsetWidth": 0.0, "panOffsetHeight": 3.0}
sys.stdout.buffer.write(plistlib.dumps(doc, fmt=plistlib.FMT_XML))
)"));
    const auto opened = PexloraDocument::open(path);
    ASSERT_TRUE(opened.ok()) << messageOf(opened);
    ASSERT_EQ(opened.value()->viewModel()->elements().size(), 1u);
    EXPECT_EQ(opened.value()->viewModel()->elements()[0].numberString, u"7"_s);
    ASSERT_TRUE(opened.value()->save(path).ok());
    EXPECT_TRUE(contents(path).startsWith("bplist00"));
    const auto again = PexloraDocument::open(path);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.value()->viewModel()->persistedState(), opened.value()->viewModel()->persistedState());
}

TEST(PexloraDocument, FolderIsRefusedAsNotInTheCorrectFormat) {
    QTemporaryDir dir;
    const auto opened = PexloraDocument::open(dir.path());
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().message,
              u"the file is not in the correct format: it is a folder or a special file"_s);
}

TEST(PexloraDocument, NamedPipeIsRefusedWithoutWaitingForAWriter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pipe"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const auto opened = PexloraDocument::open(path);
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().message.startsWith(u"the file is not in the correct format"_s));
}

TEST(PexloraDocument, MissingFileGivesTheSystemsReason) {
    QTemporaryDir dir;
    const auto opened = PexloraDocument::open(dir.filePath(u"nothing-here.pexlora"_s));
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().message.startsWith(u"the file could not be read: "_s)) << messageOf(opened);
    EXPECT_TRUE(opened.error().message.contains(u"No such file"_s)) << messageOf(opened);
}

TEST(PexloraDocument, FileOver256MiBIsRefusedWithoutReadingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"huge.pexlora"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(256 * 1024 * 1024 + 1)); // sparse: no data written
    file.close();
    const auto opened = PexloraDocument::open(path);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().message, u"the file is larger than 256 MiB"_s);
}

TEST(PexloraDocument, DamagedFileIsRefusedWithTheDecodersMessage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bad.pexlora"_s);
    writeFile(path,
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>elements</key><array/>"
              "<key>zoomScale</key><real>1</real><key>panOffsetWidth</key><real>0</real></dict></plist>");
    const auto opened = PexloraDocument::open(path);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().message, u"the document has no “panOffsetHeight”"_s);
}

TEST(PexloraDocument, SavingOntoAFolderFailsAndLeavesTheFolder) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"taken"_s);
    ASSERT_TRUE(QDir().mkdir(folder));
    writeFile(folder + u"/inside"_s, "keep");
    const auto saved = sampleDocument()->save(folder);
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().message.startsWith(u"the file could not be saved: "_s));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(contents(folder + u"/inside"_s), QByteArray("keep"));
}

TEST(PexloraDocument, SavingIntoAMissingFolderGivesTheSystemsReason) {
    QTemporaryDir dir;
    const auto saved = sampleDocument()->save(dir.filePath(u"no/such/folder/a.pexlora"_s));
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().message.startsWith(u"the file could not be saved: "_s));
    EXPECT_GT(saved.error().message.size(), 30);
}

TEST(PexloraDocument, SaveWhereNoFileCanBeMadeFailsWithTheReasonAndTouchesNothing) {
    // A folder that is really a file refuses every new file, for root too, which
    // no permission bit does.
    QTemporaryDir dir;
    const QString blocker = dir.filePath(u"rig.pexlora"_s);
    ASSERT_TRUE(PexloraDocument().save(blocker).ok());
    const QByteArray before = contents(blocker);
    const auto saved = sampleDocument()->save(blocker + u"/inside.pexlora"_s);
    ASSERT_FALSE(saved.ok());
    EXPECT_THAT(saved.error().message.toStdString(), testing::StartsWith("the file could not be saved: "));
    EXPECT_EQ(contents(blocker), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{u"rig.pexlora"_s})
        << "no temporary file is left behind";
}

using test::FileSizeLimit;

TEST(PexloraDocument, SaveThatCannotBeWrittenWhollyKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rig.pexlora"_s);
    ASSERT_TRUE(PexloraDocument().save(path).ok());
    const QByteArray before = contents(path);
    auto big = std::make_unique<PexloraDocument>();
    for (int col = 0; col < 200; ++col)
        big->viewModel()->placeElement({col, 0});
    Result<Unit, DocumentError> saved = Unit{};
    {
        const FileSizeLimit limit(4096);
        saved = big->save(path);
    }
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().message, u"the file could not be saved: File too large"_s);
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"rig.pexlora"_s})
        << "no temporary file left";
}

TEST(PexloraDocument, FailedRestoreLeavesTheModelAndSignalsUntouched) {
    auto document = sampleDocument();
    GridViewModel& model = *document->viewModel();
    model.placeElement({50, 50});
    const QUuid first = model.elements().front().id;
    model.setSelectionGroups({{first}});
    model.setEditSelectedIDs({first});
    model.setZoomScale(3.0);
    const PersistedState before = model.persistedState();
    const test::SignalCounter counter(model);
    const auto restored = model.restore("not a document");
    ASSERT_FALSE(restored.ok());
    EXPECT_EQ(model.persistedState(), before);
    EXPECT_EQ(model.selectionGroups(), (SelectionGroups{{first}}));
    EXPECT_TRUE(model.editSelectedIDs().contains(first));
    EXPECT_TRUE(model.isDirty());
    EXPECT_EQ(counter.total(), 0);
}

TEST(PexloraDocument, SuccessfulRestoreClearsSelectionAndDirtyFlagAndRebuildsTheIndex) {
    auto document = sampleDocument();
    GridViewModel& model = *document->viewModel();
    model.placeElement({50, 50});
    const QUuid first = model.elements().front().id;
    model.setSelectionGroups({{first}});
    model.setSelectionModifier(MarqueeModifier::shift);
    model.setEditSelectedIDs({first});
    PersistedState other;
    other.elements = {{QUuid::createUuid(), {5, 6}, u"9"_s}};
    other.zoomScale = 0.5;
    other.panOffsetHeight = 8.0;
    ASSERT_TRUE(model.restore(encodePersistedState(other)).ok());
    EXPECT_EQ(model.persistedState(), other);
    EXPECT_TRUE(model.selectionGroups().empty());
    EXPECT_EQ(model.selectionModifier(), MarqueeModifier::none);
    EXPECT_TRUE(model.editSelectedIDs().isEmpty());
    EXPECT_FALSE(model.isDirty());
    EXPECT_EQ(model.elementAt({5, 6}), other.elements[0].id);
    EXPECT_FALSE(model.elementAt({50, 50}).has_value());
}

} // namespace
} // namespace pexlora
