// Protects the label step: a skin label over each plain label, with its place, font, text and
// visibility, appended to the skin label array; the same-container flag limits it to the
// template's container; nothing happens while the skin switch is off.
#include "SkinTestWindow.h"

#include "app/modLivery.h"
#include "app/RunState.h"
#include "platform/forms/Twips.h"
#include "skin/modSkin.h"
#include "skin/SkinLabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QList>

#include <gtest/gtest.h>

namespace tw = platform::twips;

namespace {

// Like the browser window: a frame holding the template and a label, and one label outside it.
struct LabelsWindow {
  SkinTestWindow window;
  QGroupBox* frame = new QGroupBox(QStringLiteral("Browser"), window.client());
  QLabel* outside = new QLabel(QStringLiteral("Outside:"), window.client());
  QLabel* inside = new QLabel(QStringLiteral("URL:"), frame);
  QLabel* hidden = new QLabel(QStringLiteral("Hidden:"), frame);
  QList<SkinLabel*> SkinLabel1{new SkinLabel(QStringLiteral("Windowed Label"), frame)};

  LabelsWindow() {
    window.setClientSizeTwips(7000, 8000);
    tw::setGeometry(frame, 0, 0, 6375, 7215);
    tw::setGeometry(outside, 180, 2520, 2295, 315);
    tw::setGeometry(inside, 120, 300, 1215, 255);
    tw::setGeometry(hidden, 120, 900, 1215, 255);
    tw::setGeometry(SkinLabel1[0], 3180, 6840, 555, 135);
    SkinLabel1[0]->hide();
    hidden->hide();
    QFont bold(QStringLiteral("Verdana"));
    bold.setPointSizeF(12);
    bold.setBold(true);
    outside->setFont(bold);
  }
};

void expectCovers(const SkinLabel* skinLabel, const QLabel* label) {
  EXPECT_EQ(skinLabel->parentWidget(), label->parentWidget());
  EXPECT_EQ(skinLabel->geometry(), label->geometry());
  EXPECT_EQ(skinLabel->font(), label->font());
  EXPECT_EQ(skinLabel->text(), label->text());
  EXPECT_EQ(skinLabel->isHidden(), label->isHidden());
  // Transparent over the plain label, its text must land on the same pixels.
  EXPECT_EQ(skinLabel->alignment(), label->alignment());
  EXPECT_EQ(skinLabel->wordWrap(), label->wordWrap());
}

class ConvertLabels : public testing::Test {
 protected:
  void SetUp() override { modLivery::useSkin = true; }
  void TearDown() override { app::resetForTests(); }
};

}  // namespace

TEST_F(ConvertLabels, everyPlainLabelGetsASkinLabelInCollectionOrder) {
  LabelsWindow w;
  w.window.show();
  modSkin::convertLabels(&w.window, w.SkinLabel1, false);

  // Collection order: the frame's labels come with the frame, before the later outside label.
  ASSERT_EQ(w.SkinLabel1.size(), 4);
  expectCovers(w.SkinLabel1[1], w.inside);
  expectCovers(w.SkinLabel1[2], w.hidden);
  expectCovers(w.SkinLabel1[3], w.outside);
  EXPECT_TRUE(w.SkinLabel1[1]->isVisible());
  EXPECT_FALSE(w.SkinLabel1[2]->isVisible());
  for (int i = 1; i < 4; ++i) EXPECT_EQ(w.SkinLabel1[i]->property("index").toInt(), i);
  // The skin label is the one on top; the plain label is left as it was.
  EXPECT_EQ(w.window.client()->childAt(w.outside->geometry().center()), w.SkinLabel1[3]);
  EXPECT_EQ(w.outside->text(), QStringLiteral("Outside:"));
  EXPECT_TRUE(w.outside->isVisible());
}

TEST_F(ConvertLabels, withTheSameContainerFlagOnlyTheTemplatesContainerIsConverted) {
  LabelsWindow w;
  modSkin::convertLabels(&w.window, w.SkinLabel1, true);
  ASSERT_EQ(w.SkinLabel1.size(), 3);
  expectCovers(w.SkinLabel1[1], w.inside);
  expectCovers(w.SkinLabel1[2], w.hidden);
}

TEST_F(ConvertLabels, switchedOffTheSkinLeavesThePlainLabels) {
  modLivery::useSkin = false;
  LabelsWindow w;
  modSkin::convertLabels(&w.window, w.SkinLabel1, false);
  EXPECT_EQ(w.SkinLabel1.size(), 1);
  EXPECT_EQ(w.window.findChildren<SkinLabel*>().size(), 1);
}
