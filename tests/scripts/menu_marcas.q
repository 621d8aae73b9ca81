* Espaço marca o item sob o cursor; um item marcado bipa antes de ser falado,
* e o bipe descarta as teclas digitadas adiante: as setas e o Enter nunca
* chegam ao menu, que fica esperando até a entrada acabar.
menu cria 1 1 20 3
menu adiciona "um"
menu adiciona "dois"
seja v 1
menu executa v w z
escreve "não chega aqui"
