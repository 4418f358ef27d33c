// Choice regions with the real font and pointer: regions grown by the characters written in
// them, empty ones dropped, the highlight under the pointer, and keyboard steps that wrap.
#include <gtest/gtest.h>

#include "host/host_api.h"
#include "layers_fixture.h"
#include "present/sprites.h"

namespace {

using LayerChoices = Layers;

class LayerChoiceLines : public Layers {
 protected:
  // Three choices on three lines, moved to a window at (40, 300).
  void writeThree() {
    setTextLayerPos("def", 40, 300);
    for (const char* label : {"first", "second", "third"}) {
      beginChoice(label);
      put("選択肢");
      endChoice();
      newLine();
    }
    ASSERT_TRUE(hasChoices());
  }
  std::string current() {
    ChoiceHandle c = getCurrentChoice();
    return c ? c->label : "";
  }
  void pointer(int& x, int& y) { gHost.lbGetMousePos(&x, &y); }
};

TEST_F(LayerChoices, Region_CoversItsCharactersAndLineHeight) {
  const TextLayer& layer = currentLayer();
  put("前");
  const int left = layer.penX;
  beginChoice("target");
  put("選ぶ");
  const int right = layer.penX - 1;
  endChoice();
  ASSERT_EQ(layer.choices.count(), 1u);
  const ChoiceRegion& r = *layer.choices.first()->element;
  EXPECT_EQ(r.minX, left);
  EXPECT_EQ(r.maxX, right);
  EXPECT_EQ(r.minY, 16);
  EXPECT_EQ(r.maxY, 16 + 24 + 2 - 1);
  EXPECT_STREQ(r.label, "target");
}

TEST_F(LayerChoices, Region_RubyRaisesItsTop) {
  const TextLayer& layer = currentLayer();
  beginChoice("ruby");
  setRubyMode(true);
  put("かん");
  setRubyMode(false);
  put("漢");
  endChoice();
  ASSERT_TRUE(hasChoices());
  EXPECT_EQ(layer.choices.first()->element->minY, 16 - 8);
}

TEST_F(LayerChoices, Region_EmptyOneIsNotAdded) {
  beginChoice("nothing");
  endChoice();
  EXPECT_FALSE(hasChoices());
  // A region still open is not a choice either, and a second begin does not replace it.
  beginChoice("open");
  beginChoice("other");
  put("字");
  endChoice();
  ASSERT_TRUE(hasChoices());
  EXPECT_STREQ(currentLayer().choices.first()->element->label, "open");
}

TEST_F(LayerChoices, Region_LongLabelIsCutTo263Bytes) {
  const std::string label(300, 'x');
  beginChoice(label.c_str());
  put("字");
  endChoice();
  EXPECT_EQ(std::string(currentLayer().choices.first()->element->label), label.substr(0, 263));
}

TEST_F(LayerChoices, Region_ClearDropsTheList) {
  beginChoice("a");
  put("字");
  endChoice();
  clearTextLayer("");
  EXPECT_FALSE(hasChoices());
}

TEST_F(LayerChoiceLines, Hover_HighlightFollowsThePointerOnce) {
  writeThree();
  const TextLayer& layer = currentLayer();
  gHost.lbSetMousePos(5, 5);
  EXPECT_FALSE(updateChoiceHover());
  const ChoiceRegion& second = *layer.choices.next(layer.choices.first())->element;
  gHost.lbSetMousePos(40 + second.minX + 1, 300 + second.maxY);  // bounds are inclusive
  EXPECT_TRUE(updateChoiceHover());
  EXPECT_EQ(current(), "second");
  EXPECT_TRUE(isSpriteShown(kChoiceHighlightSlot));
  EXPECT_EQ(gSprites[kChoiceHighlightSlot].absX, 40 + second.minX);
  EXPECT_EQ(gSprites[kChoiceHighlightSlot].absY, 300 + second.minY);
  EXPECT_EQ(gSprites[kChoiceHighlightSlot].width, second.maxX - second.minX + 1);
  EXPECT_EQ(gSprites[kChoiceHighlightSlot].height, second.maxY - second.minY + 1);
  EXPECT_FALSE(updateChoiceHover());  // still over the same region
  gHost.lbSetMousePos(5, 5);
  EXPECT_TRUE(updateChoiceHover());
  EXPECT_FALSE(isSpriteShown(kChoiceHighlightSlot));
  EXPECT_FALSE(updateChoiceHover());
  EXPECT_EQ(current(), "");
}

TEST_F(LayerChoiceLines, Steps_WrapAtBothEnds) {
  writeThree();
  selectNextChoice();  // no current choice: the first
  updateChoiceHover();
  EXPECT_EQ(current(), "first");
  selectPreviousChoice();
  updateChoiceHover();
  EXPECT_EQ(current(), "third");
  selectNextChoice();
  updateChoiceHover();
  EXPECT_EQ(current(), "first");
  selectNextChoice();
  updateChoiceHover();
  EXPECT_EQ(current(), "second");
  hideChoiceHighlight();
  selectPreviousChoice();  // no current choice: the first again
  updateChoiceHover();
  EXPECT_EQ(current(), "first");
}

TEST_F(LayerChoiceLines, Steps_PointerGoesToTheRegionCentre) {
  writeThree();
  const ChoiceRegion& first = *currentLayer().choices.first()->element;
  gHost.lbSetMousePos(0, 0);
  EXPECT_TRUE(finishChoices());
  int x = 0, y = 0;
  pointer(x, y);
  EXPECT_EQ(x, 40 + ((first.minX + first.maxX) >> 1));
  EXPECT_EQ(y, 300 + ((first.minY + first.maxY) >> 1));
}

TEST_F(LayerChoices, Finish_WithoutChoicesLeavesThePointer) {
  gHost.lbSetMousePos(123, 45);
  EXPECT_FALSE(finishChoices());
  selectNextChoice();
  int x = 0, y = 0;
  gHost.lbGetMousePos(&x, &y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 45);
}

}  // namespace
