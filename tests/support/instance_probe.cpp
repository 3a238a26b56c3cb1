// A later start of the program, reduced to its single-instance step: hands its arguments to the
// running copy for the key given first. Exit status: 0 handed over, 10 became the first copy,
// 11 the running copy did not answer.
#include "platform/singleinstance.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString key = args.takeAt(1);
    const int timeoutMs = args.takeAt(1).toInt();
    platform::SingleInstance instance(key);
    switch (instance.start(args, timeoutMs)) {
    case platform::SingleInstance::Role::HandedOver:
        return 0;
    case platform::SingleInstance::Role::First:
        return 10;
    case platform::SingleInstance::Role::Unreachable:
        return 11;
    }
    return 2;
}
