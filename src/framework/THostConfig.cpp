#include "framework/THostConfig.h"

#include "framework/TApplication.h"

std::string WebURL() { return Application().Config().WebURL; }

int WebPort() { return Application().Config().WebPort; }

std::string DBPict(int pictureType) {
    const auto& pictures = Application().Config().Pictures;
    auto it = pictures.find(pictureType);
    return it == pictures.end() ? std::string() : it->second;
}
