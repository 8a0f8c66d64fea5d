#include "DescriptorDevice.h"

#include "SystemError.h"

qint64 DescriptorDevice::writeData(const char *data, qint64 size)
{
    if (const int error = writeFully(m_fd, data, size); error != 0) {
        setErrorString(systemErrorText(error));
        return -1;
    }
    return size;
}
