// The share panel: the current song's link as a QR picture.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "qr/ModuleError.h"
#include "service/Replies.h"
#include "service/Song.h"
#include "service/Urls.h"
#include "share/QrPicture.h"

#include <QMessageBox>

namespace sorvane::app {

void MainWindow::shareCurrentSong()
{
    const GbString reply =
        serviceRequest(service::songPageUrl(m_services.serviceBase, m_state.songSid, m_state.songSsid));
    const GbString shareChannelId = service::parseShareChannelId(reply);
    const std::string link = service::shareLink(m_services.serviceBase, shareChannelId, m_state.songSid);
    m_sharePanel->show();
    try {
        const share::Picture bmp = share::创建二维码(link, "M", m_qrPicture->width(), m_qrPicture->height(),
                                                   0xFFFFFF, 0x000000);
        m_qrPicture->setPictureBytes(
            QByteArray(reinterpret_cast<const char *>(bmp.data()), static_cast<qsizetype>(bmp.size())));
    } catch (const qr::ModuleError &error) {
        // The encoder's own checks failed: tell the listener and carry on playing.
        QMessageBox::critical(this, QString::fromStdString(qr::ModuleError::boxTitleUtf8()),
                              QString::fromStdString(error.boxTextUtf8()));
    }
}

} // namespace sorvane::app
