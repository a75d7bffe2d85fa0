// The app folder's suites in one executable: path helpers, start-up, and the windows.

#include <QApplication>

int runTestModule1(int argc, char** argv);
int runTestStartUp(int argc, char** argv);
int runTestForm1(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    failures += runTestModule1(argc, argv);
    failures += runTestStartUp(argc, argv);
    failures += runTestForm1(argc, argv);
    return failures == 0 ? 0 : 1;
}
