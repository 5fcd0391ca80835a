#include "depth/ports/port_map.h"

#include <gtest/gtest.h>

using namespace marrowby;

namespace {

PortMap listOf(std::initializer_list<std::pair<const char*, const char*>> devices) {
    PortMap map;
    for (auto [device, port] : devices)
        map.devices.push_back({device, port, {}, {}});
    return map;
}

TEST(PortMapFile, ListsDevicesInFileOrderWithTheirPaths) {
    const char* text = "[serialcomm]\n"
                       "\\Device\\Slabser0=COM5\n"
                       "\\Device\\Serial0=COM1\n"
                       "[ports]\n"
                       "COM5=/tmp/meter link\n"
                       "COM1=/dev/ttyS0\n";
    PortMap map = parsePortMapFile(text);
    EXPECT_TRUE(map.readable);
    ASSERT_EQ(map.devices.size(), 2u);
    EXPECT_EQ(map.devices[0].deviceName, "\\Device\\Slabser0");
    EXPECT_EQ(map.devices[0].portName, "COM5");
    EXPECT_EQ(map.devices[0].devicePath, "/tmp/meter link");
    EXPECT_EQ(map.devices[1].deviceName, "\\Device\\Serial0");
    EXPECT_EQ(map.devices[1].devicePath, "/dev/ttyS0");
    EXPECT_EQ(devicePathFor(map, 5), "/tmp/meter link");
    EXPECT_EQ(devicePathFor(map, 1), "/dev/ttyS0");
    EXPECT_EQ(devicePathFor(map, 2), std::nullopt);
}

TEST(PortMapFile, ToleratesCommentsBlankLinesWhitespaceCrLfAndUnknownSections) {
    const char* text = "; written by a test\r\n"
                       "\r\n"
                       "# another comment\r\n"
                       "  [ SerialComm ]  \r\n"
                       "  \\Device\\Slabser0 =  COM7 \r\n"
                       "a line without an equals sign\r\n"
                       "[other]\r\n"
                       "\\Device\\Serial9=COM9\r\n"
                       "[PORTS]\r\n"
                       "com7 = /dev/pts/3   \r\n"
                       "=/nowhere\r\n"
                       "\\Device\\Serial1=COM2"; // no final line end, and in [ports]
    PortMap map = parsePortMapFile(text);
    ASSERT_EQ(map.devices.size(), 1u);
    EXPECT_EQ(map.devices[0].deviceName, "\\Device\\Slabser0");
    EXPECT_EQ(map.devices[0].portName, "COM7");
    EXPECT_EQ(map.devices[0].devicePath, "/dev/pts/3");
    EXPECT_EQ(findBridgePort(map), 7);
}

TEST(PortMapFile, PortWithoutPathCannotBeOpenedAndUnlistedPathCan) {
    PortMap map = parsePortMapFile("[serialcomm]\n\\Device\\Serial0=COM1\n"
                                   "[ports]\nCOM3=/dev/ttyUSB3\nCOM4=\n");
    EXPECT_EQ(devicePathFor(map, 1), std::nullopt);
    EXPECT_EQ(devicePathFor(map, 3), "/dev/ttyUSB3");
    EXPECT_EQ(devicePathFor(map, 4), std::nullopt);
    // COM3 has a path but no device: it is neither listed nor offered.
    EXPECT_EQ(offeredPortNames(map), std::vector<std::string>{"COM1"});
    ASSERT_EQ(map.devices.size(), 1u);
}

TEST(PortMapFile, RepeatedEntriesKeepTheirPlaceAndTakeTheLastValue) {
    PortMap map = parsePortMapFile("[serialcomm]\nA=COM1\nB=COM2\na=COM3\n"
                                   "[ports]\nCOM3=/first\nCOM3=/second\n");
    ASSERT_EQ(map.devices.size(), 2u);
    EXPECT_EQ(map.devices[0].deviceName, "A");
    EXPECT_EQ(map.devices[0].portName, "COM3");
    EXPECT_EQ(devicePathFor(map, 3), "/second");
}

TEST(PortMapFile, UnreadableMapOffersNothing) {
    PortMap map = parsePortMapFile("[serialcomm]\n\\Device\\Slabser0=COM5\n[ports]\nCOM5=/x\n");
    map.readable = false;
    EXPECT_EQ(findBridgePort(map), std::nullopt);
    EXPECT_EQ(devicePathFor(map, 5), std::nullopt);
    EXPECT_TRUE(offeredPortNames(map).empty());
}

TEST(BridgePort, SlabserWinsOverSilabserWhateverTheOrder) {
    EXPECT_EQ(findBridgePort(listOf({{"\\Device\\Silabser0", "COM4"},
                                     {"\\Device\\Serial0", "COM1"},
                                     {"\\Device\\Slabser0", "COM5"}})),
              5);
    EXPECT_EQ(
        findBridgePort(listOf({{"\\Device\\Serial0", "COM1"}, {"\\Device\\Silabser0", "COM4"}})),
        4);
    EXPECT_EQ(
        findBridgePort(listOf({{"\\Device\\Serial0", "COM1"}, {"\\Device\\Slabser1", "COM6"}})),
        std::nullopt);
    EXPECT_EQ(findBridgePort(PortMap{}), std::nullopt);
}

TEST(BridgePort, NumberIsAtoiAfterTheFirstThreeCharacters) {
    EXPECT_EQ(findBridgePort(listOf({{"\\Device\\Slabser0", "COMx"}})), 0);
    EXPECT_EQ(findBridgePort(listOf({{"\\Device\\Slabser0", "COM12abc"}})), 12);
    EXPECT_EQ(findBridgePort(listOf({{"\\Device\\Slabser0", "CO"}})), 0);
    EXPECT_EQ(portNumberOf("COM3"), 3);
    EXPECT_EQ(portNumberOf("XYZ 42"), 42);
    EXPECT_EQ(portNumberOf("COM-2"), -2);
    EXPECT_EQ(portNumberOf(""), 0);
}

TEST(OfferedPorts, OnlyCom0ToCom29ExactlyInListOrder) {
    auto names = offeredPortNames(listOf({{"a", "COM1"},
                                          {"b", "COM10"},
                                          {"c", "COM3"},
                                          {"d", "COM31"},
                                          {"e", "COM0"},
                                          {"f", "COM29"},
                                          {"g", "COM30"},
                                          {"h", "com4"},
                                          {"i", "COM05"},
                                          {"j", "COM2 "}}));
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COM3", "COM0", "COM29"}));
}

TEST(Enumeration, OnBoardPortsKeepTheirNumberAndUsbDevicesFollowFromCom5) {
    PortMap map = portMapFromEnumeration({
        {"ttyUSB10", "/dev/ttyUSB10", "FTDI", false},
        {"ttyUSB2", "/dev/ttyUSB2", "CP2102 USB to UART Bridge Controller", true},
        {"ttyS1", "/dev/ttyS1", "", false},
        {"ttyACM0", "/dev/ttyACM0", "modem", false},
        {"ttyS0", "/dev/ttyS0", "", false},
    });
    ASSERT_EQ(map.devices.size(), 5u);
    auto row = [&](size_t i) {
        const auto& d = map.devices[i];
        return d.deviceName + "|" + d.portName + "|" + d.devicePath;
    };
    EXPECT_EQ(row(0), "\\Device\\Serial0|COM1|/dev/ttyS0");
    EXPECT_EQ(row(1), "\\Device\\Serial1|COM2|/dev/ttyS1");
    EXPECT_EQ(row(2), "\\Device\\USBSER000|COM5|/dev/ttyACM0");
    EXPECT_EQ(row(3), "\\Device\\Slabser0|COM6|/dev/ttyUSB2");
    EXPECT_EQ(row(4), "\\Device\\USBSER001|COM7|/dev/ttyUSB10");
    EXPECT_EQ(findBridgePort(map), 6);
    EXPECT_EQ(devicePathFor(map, 6), "/dev/ttyUSB2");
}

TEST(Enumeration, UsbNumbersStartAfterTheHighestOnBoardPortAndBridgesCountUp) {
    PortMap map = portMapFromEnumeration({
        {"ttyUSB1", "/dev/ttyUSB1", "", true},
        {"ttyS7", "/dev/ttyS7", "", false},
        {"ttyUSB0", "/dev/ttyUSB0", "", true},
    });
    ASSERT_EQ(map.devices.size(), 3u);
    EXPECT_EQ(map.devices[0].portName, "COM8");
    EXPECT_EQ(map.devices[1].deviceName, "\\Device\\Slabser0");
    EXPECT_EQ(map.devices[1].portName, "COM9");
    EXPECT_EQ(map.devices[1].devicePath, "/dev/ttyUSB0");
    EXPECT_EQ(map.devices[2].deviceName, "\\Device\\Slabser1");
    EXPECT_EQ(map.devices[2].portName, "COM10");
    EXPECT_EQ(findBridgePort(map), 9);
    EXPECT_TRUE(portMapFromEnumeration({}).devices.empty());
}

} // namespace
