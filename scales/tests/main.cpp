// Runs Skalomer's test classes in one executable.
#include <QApplication>

int runTemperatureTest(int argc, char** argv);
int runScalesWindowTest(int argc, char** argv);

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    int failures = runTemperatureTest(argc, argv);
    failures += runScalesWindowTest(argc, argv);
    return failures == 0 ? 0 : 1;
}
