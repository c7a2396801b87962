#pragma once
// A sysfs tree in a folder, as the kernel shows USB serial ports: the USB
// device with its product and serial, the interface, the port with its
// driver link, and the port's entry under bus/usb-serial/devices.
#include <filesystem>
#include <fstream>
#include <string>

struct FakeSysfs {
    std::filesystem::path root;

    explicit FakeSysfs(std::filesystem::path folder) : root(std::move(folder))
    {
        std::filesystem::create_directories(root / "bus/usb-serial/devices");
    }

    // ttyUSB<number> on USB device 1-<number>; an empty product leaves the
    // product file out, as for a bridge that names nothing.
    void AddPort(int number, const std::string& product, const std::string& serial,
                 const std::string& driver = "ftdi_sio") const
    {
        namespace fs = std::filesystem;
        const std::string port = "ttyUSB" + std::to_string(number);
        const fs::path usb = root / "devices/pci0000:00/usb1" / ("1-" + std::to_string(number));
        const fs::path node = usb / ("1-" + std::to_string(number) + ":1.0") / port;
        fs::create_directories(node);
        Write(usb / "idVendor", "0403");
        if (!product.empty())
            Write(usb / "product", product);
        Write(usb / "serial", serial);
        const fs::path drivers = root / "bus/usb-serial/drivers" / driver;
        fs::create_directories(drivers);
        fs::create_directory_symlink(drivers, node / "driver");
        fs::create_directory_symlink(node, root / "bus/usb-serial/devices" / port);
    }

    static void Write(const std::filesystem::path& file, const std::string& line)
    {
        std::ofstream(file) << line << "\n";
    }
};
