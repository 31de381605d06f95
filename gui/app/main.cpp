#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Strukta");
    QApplication::setOrganizationName("Northfold");
    return 0;
}
