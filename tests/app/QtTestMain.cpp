// GoogleTest on a QApplication; the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/ui/Application.h"
#include "tests/app/QtTestSupport.h"

namespace {

class CancelWatchesAfterEachTest : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { apptest::CancelModalWatches(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pelsok::ui::TApplication::Initialize();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new CancelWatchesAfterEachTest);
  return RUN_ALL_TESTS();
}
