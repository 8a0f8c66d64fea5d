#pragma once
// An output device over a file descriptor (orvalis-banco's standard output
// and error): every write goes straight to the descriptor with as many calls
// as it takes, nothing is held back to be flushed later, and a write that
// fails says why in Spanish ("no queda espacio libre en el disco"), so that
// the command can report it and end with status 2 rather than claim success.

#include <QIODevice>

class DescriptorDevice : public QIODevice
{
public:
    explicit DescriptorDevice(int fd) : m_fd(fd) {}

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd;
};
