#include "app/SondikApp.h"

int main(int argc, char* argv[])
{
    SondikApp app(argc, argv);
    return app.exec();
}
