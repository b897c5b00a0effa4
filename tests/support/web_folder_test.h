// A program folder with a local web server that every web address of the
// program leads to (ZEBLON_WEB_BASE), for the window tests of the internet side.
#pragma once

#include <cstdlib>

#include "tests/support/program_folder.h"
#include "tests/support/tiny_http_server.h"

namespace zeblon::testing_support {

class WebFolderTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    setenv("ZEBLON_WEB_BASE", server_.Base().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZEBLON_WEB_BASE");
    ProgramFolderTest::TearDown();
  }
  TinyHttpServer server_;
};

}  // namespace zeblon::testing_support
