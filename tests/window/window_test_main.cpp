#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The application object lives while the tests run; listing the tests needs no display.
class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override { m_application = std::make_unique<QApplication>(m_argc, m_argv); }
  void TearDown() override { m_application.reset(); }

 private:
  int m_argc = 1;
  char m_name[16] = "window_tests";
  char* m_argv[2] = {m_name, nullptr};
  std::unique_ptr<QApplication> m_application;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new QtApplication);
  return RUN_ALL_TESTS();
}
