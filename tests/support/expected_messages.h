// The message table as the product must show it, written out independently of the program's own
// table (UTF-8 here, UTF-16 there) so that a slip in either one shows up as a test failure.
#pragma once

#include <cstdint>

namespace test_support {

struct ExpectedMessage {
    std::uint32_t code;
    const char* name;
    const char* text;  // between the leading space and the closing CR LF
};

// clang-format off
inline constexpr ExpectedMessage kExpectedMessages[] = {
    {0x0000006Du, "ERROR_BROKEN_PIPE", "Le client a tenté une opération de carte intelligente dans une session distante, telle qu’une session cliente s’exécutant sur un serveur Terminal Server, et le système d’exploitation utilisé ne prend pas en charge la redirection smart carte."},
    {0x80100001u, "SCARD_F_INTERNAL_ERROR", "Une case activée de cohérence interne a échoué"},
    {0x80100002u, "SCARD_E_CANCELLED", "L action a été annulée par une demande SCardCancel "},
    {0x80100003u, "SCARD_E_INVALID_HANDLE", "Le handle fourni n était pas valide"},
    {0x80100004u, "SCARD_E_INVALID_PARAMETER", "Un ou plusieurs des paramètres fournis n ont pas pu être correctement interprétés"},
    {0x80100005u, "SCARD_E_INVALID_TARGET", "Les informations de démarrage du Registre sont manquantes ou non valides"},
    {0x80100006u, "SCARD_E_NO_MEMORY", "Mémoire insuffisante pour effectuer cette commande"},
    {0x80100007u, "SCARD_F_WAITED_TOO_LONG", "Un minuteur de cohérence interne a expiré"},
    {0x80100008u, "SCARD_E_INSUFFICIENT_BUFFER", "La mémoire tampon de données pour les données retournées est trop petite pour les données retournées"},
    {0x80100009u, "SCARD_E_UNKNOWN_READER", "Le nom de lecteur spécifié n est pas reconnu"},
    {0x8010000Au, "SCARD_E_TIMEOUT", "La valeur de délai d attente spécifiée par l utilisateur a expiré"},
    {0x8010000Bu, "SCARD_E_SHARING_VIOLATION", "Le carte intelligent est inaccessible en raison d autres connexions en suspens"},
    {0x8010000Cu, "SCARD_E_NO_SMARTCARD", "L opération nécessite un carte intelligent, mais aucun carte intelligent ne se trouve actuellement dans l appareil"},
    {0x8010000Du, "SCARD_E_UNKNOWN_CARD", "Le nom de carte intelligent spécifié n est pas reconnu"},
    {0x8010000Eu, "SCARD_E_CANT_DISPOSE", "Le système n a pas pu éliminer les médias de la manière demandée"},
    {0x8010000Fu, "SCARD_E_PROTO_MISMATCH", "Les protocoles demandés sont incompatibles avec le protocole actuellement utilisé avec le carte"},
    {0x80100010u, "SCARD_E_NOT_READY", "Le lecteur ou carte n est pas prêt à accepter les commandes"},
    {0x80100011u, "SCARD_E_INVALID_VALUE", "Une ou plusieurs des valeurs de paramètre fournies n ont pas pu être correctement interprétées"},
    {0x80100012u, "SCARD_E_SYSTEM_CANCELLED", "L action a été annulée par le système, vraisemblablement pour fermer la session ou l arrêter"},
    {0x80100013u, "SCARD_F_COMM_ERROR", "Une erreur de communication interne a été détectée"},
    {0x80100014u, "SCARD_F_UNKNOWN_ERROR", "Une erreur interne a été détectée, mais la source est inconnue"},
    {0x80100015u, "SCARD_E_INVALID_ATR", "Une chaîne ATR obtenue à partir du Registre n est pas une chaîne ATR valide"},
    {0x80100016u, "SCARD_E_NOT_TRANSACTED", "Une tentative a été effectuée pour mettre fin à une transaction inexistante"},
    {0x80100017u, "SCARD_E_READER_UNAVAILABLE", "Le lecteur spécifié n est actuellement pas disponible pour utilisation"},
    {0x80100018u, "SCARD_P_SHUTDOWN", "L opération a été abandonnée pour permettre à l application serveur de se quitter"},
    {0x80100019u, "SCARD_E_PCI_TOO_SMALL", "La mémoire tampon de réception PCI était trop petite"},
    {0x8010001Au, "SCARD_E_READER_UNSUPPORTED", "Le pilote de lecteur ne répond pas aux exigences minimales en matière de prise en charge"},
    {0x8010001Bu, "SCARD_E_DUPLICATE_READER", "Le pilote de lecteur n a pas produit de nom de lecteur unique"},
    {0x8010001Cu, "SCARD_E_CARD_UNSUPPORTED", "Le carte intelligent ne répond pas aux exigences minimales en matière de support"},
    {0x8010001Du, "SCARD_E_NO_SERVICE", "Le gestionnaire de ressources smart carte n est pas en cours d exécution"},
    {0x8010001Eu, "SCARD_E_SERVICE_STOPPED", "Le gestionnaire de ressources smart carte s est arrêté"},
    {0x8010001Fu, "SCARD_E_UNEXPECTED", "Une erreur de carte inattendue s est produite"},
    {0x80100020u, "SCARD_E_ICC_INSTALLATION", "Aucun fournisseur principal n est disponible pour le carte intelligent"},
    {0x80100021u, "SCARD_E_ICC_CREATEORDER", "L ordre de création de l objet demandé n est pas pris en charge"},
    {0x80100022u, "SCARD_E_UNSUPPORTED_FEATURE", "Cette carte intelligente ne prend pas en charge la fonctionnalité demandée"},
    {0x80100023u, "SCARD_E_DIR_NOT_FOUND", "Le répertoire spécifié n existe pas dans le carte intelligent"},
    {0x80100024u, "SCARD_E_FILE_NOT_FOUND", "Le fichier spécifié n existe pas dans le carte intelligent"},
    {0x80100025u, "SCARD_E_NO_DIR", "Le chemin d accès fourni ne représente pas un répertoire smart carte"},
    {0x80100026u, "SCARD_E_NO_FILE", "Le chemin d accès fourni ne représente pas un fichier de carte intelligent"},
    {0x80100027u, "SCARD_E_NO_ACCESS", "L accès au fichier est refusé"},
    {0x80100028u, "SCARD_E_WRITE_TOO_MANY", "Une tentative d écriture a été effectuée pour écrire plus de données que ne le ferait dans l objet cible"},
    {0x80100029u, "SCARD_E_BAD_SEEK", "Une erreur s est produite lors de la définition du pointeur d objet de fichier smart carte"},
    {0x8010002Au, "SCARD_E_INVALID_CHV", "Le code pin fourni est incorrect"},
    {0x8010002Bu, "SCARD_E_UNKNOWN_RES_MNG", "Un code d erreur non reconnu a été retourné"},
    {0x8010002Cu, "SCARD_E_NO_SUCH_CERTIFICATE", "Le certificat demandé n existe pas"},
    {0x8010002Du, "SCARD_E_CERTIFICATE_UNAVAILABLE", "Impossible d obtenir le certificat demandé"},
    {0x8010002Eu, "SCARD_E_NO_READERS_AVAILABLE", "Aucun lecteur carte intelligent n est disponible"},
    {0x8010002Fu, "SCARD_E_COMM_DATA_LOST", "\tUne erreur de communication avec le carte intelligent a été détectée"},
    {0x80100030u, "SCARD_E_NO_KEY_CONTAINER", "Le conteneur de clé demandé n existe pas sur le carte intelligent"},
    {0x80100031u, "SCARD_E_SERVER_TOO_BUSY", "Le gestionnaire de ressources intelligent carte est trop occupé pour effectuer cette opération"},
    {0x80100032u, "SCARD_E_PIN_CACHE_EXPIRED", "Le cache de code confidentiel intelligent carte a expiré"},
    {0x80100033u, "SCARD_E_NO_PIN_CACHE", "Impossible de mettre en cache le code confidentiel smart carte"},
    {0x80100034u, "SCARD_E_READ_ONLY_CARD", "Le carte intelligent est en lecture seule et ne peut pas être écrit dans"},
    {0x80100065u, "SCARD_W_UNSUPPORTED_CARD", "Le lecteur ne peut pas communiquer avec le carte, en raison de conflits de configuration de chaîne ATR"},
    {0x80100066u, "SCARD_W_UNRESPONSIVE_CARD", "Le carte intelligent ne répond pas à une réinitialisation"},
    {0x80100067u, "SCARD_W_UNPOWERED_CARD", "L alimentation a été supprimée de la carte intelligente, de sorte qu aucune communication supplémentaire n est possible"},
    {0x80100068u, "SCARD_W_RESET_CARD", "Le carte intelligent a été réinitialisé"},
    {0x80100069u, "SCARD_W_REMOVED_CARD", "La carte intelligente a été supprimée, il n est donc pas possible de communiquer davantage"},
    {0x8010006Au, "SCARD_W_SECURITY_VIOLATION", "L accès a été refusé en raison d une violation de sécurité"},
    {0x8010006Bu, "SCARD_W_WRONG_CHV", "Le carte est inaccessible, car le code confidentiel incorrect a été présenté"},
    {0x8010006Cu, "SCARD_W_CHV_BLOCKED", "Impossible d accéder au carte, car le nombre maximal de tentatives de saisie de code confidentiel a été atteint"},
    {0x8010006Du, "SCARD_W_EOF", "La fin du fichier smart carte a été atteinte"},
    {0x8010006Eu, "SCARD_W_CANCELLED_BY_USER", "L action a été annulée par l utilisateur"},
    {0x8010006Fu, "SCARD_W_CARD_NOT_AUTHENTICATED", "Aucun code confidentiel n a été présenté au carte intelligent"},
    {0x80100070u, "SCARD_W_CACHE_ITEM_NOT_FOUND", "L élément demandé est introuvable dans le cache"},
    {0x80100071u, "SCARD_W_CACHE_ITEM_STALE", "L élément de cache demandé est trop ancien et a été supprimé du cache"},
    {0x80100072u, "SCARD_W_CACHE_ITEM_TOO_BIG", "Le nouvel élément de cache dépasse la taille maximale par élément définie pour le cache"},
};
// clang-format on

}  // namespace test_support
