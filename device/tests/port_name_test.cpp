#include "device/query/port_name.h"

#include <gtest/gtest.h>

namespace {

TEST(PortName, ClassifiesByNameInAnyCase) {
  struct Case {
    const char* name;
    GPortClass port;
  };
  const Case cases[] = {
      {"LPT1:", kParallelPort},
      {"lpt2", kParallelPort},
      {"LpT9:", kParallelPort},
      {"lpt12", kOtherPort},
      {"LPT1x", kOtherPort},
      {"LPTx:", kNamedPort},
      {"COM3", kSerialPort},
      {"com4:", kSerialPort},
      {"COM10:", kNamedPort},
      {"FILE:", kFilePort},
      {"file:", kFilePort},
      {"FILE", kOtherPort},
      {"\\\\server\\printer", kNetworkShare},
      {"\\\\", kNetworkShare},
      {"\\x:", kNamedPort},
      {"USB001", kOtherPort},
      {"IP_10:", kNamedPort},
      {":", kNamedPort},
      {"", kOtherPort},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClassifyPortName(RWWString::FromMultibyte(c.name)), c.port);
  }
}

}  // namespace
